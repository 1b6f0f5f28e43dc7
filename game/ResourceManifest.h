#pragma once

// Loads every sprite, sound and the theme music of the game under its label:
// 42 sprites, then 11 sounds, then the music. Failures leave their log lines.
void loadResources();
