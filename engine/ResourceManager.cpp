#include "engine/ResourceManager.h"

#include "engine/Color.h"
#include "engine/LogManager.h"
#include "engine/Sprite.h"
#include "engine/internal/AudioDevice.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <sys/stat.h>

namespace mw {

namespace {

// Mono to 7.1, the layouts the audio decoder knows.
constexpr unsigned MAX_WAV_CHANNELS = 8;

constexpr std::array<const char*, COLOR_COUNT> COLOR_WORDS = {"black", "red",     "green", "yellow",
                                                              "blue",  "magenta", "cyan",  "white"};

// No header line of a sprite file needs more: a number, or a colour word.
constexpr std::size_t MAX_HEADER_LINE = 4096;

// Reads one line without its line feed or a carriage return before it, and
// keeps at most maxLength of its characters: the rest of the line is read
// past, never stored. A line missing because the file ended reads as empty.
std::string readLine(std::istream& in, std::size_t maxLength = MAX_HEADER_LINE) {
    constexpr int END = std::char_traits<char>::eof();
    std::streambuf& buffer = *in.rdbuf();
    int c = buffer.sbumpc();
    if (c == END) {
        in.setstate(std::ios::eofbit | std::ios::failbit);
        return {};
    }
    // One character more than wanted is kept: it may be a carriage return
    // that ends the line rather than part of it.
    std::string line;
    std::size_t length = 0;
    int last = END;
    for (; c != END && c != '\n'; c = buffer.sbumpc(), ++length) {
        if (line.size() <= maxLength)
            line += static_cast<char>(c);
        last = c;
    }
    if (c == END)
        in.setstate(std::ios::eofbit);
    if (last == '\r')
        --length;
    line.resize(std::min(length, maxLength));
    return line;
}

// A byte-order mark that an editor put before the first line is not part of it.
void skipByteOrderMark(std::istream& in) {
    char mark[3] = {};
    if (!in.read(mark, 3) || std::memcmp(mark, "\xEF\xBB\xBF", 3) != 0) {
        in.clear();
        in.seekg(0);
    }
}

// Leading white space, an optional sign and the digits after it; anything
// else reads as 0. Values beyond int saturate.
int readInteger(const std::string& line) {
    const long value = std::strtol(line.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int colorFromWord(const std::string& word) {
    for (int color = 0; color < COLOR_COUNT; ++color) {
        if (word == COLOR_WORDS[color])
            return color;
    }
    return -1;
}

} // namespace

ResourceManager::ResourceManager()
    : m_sounds(std::make_unique<std::array<Sound, MAX_SOUNDS>>()),
      m_music(std::make_unique<std::array<Music, MAX_MUSIC>>()) {
    setType("ResourceManager");
}

ResourceManager::~ResourceManager() {
    deleteSprites();
    // Voices the audio library still holds, or has broken, are left to the
    // system: destroying them would wait on it, or free their memory twice.
    if (!AudioDevice::getInstance().mayReleaseVoices()) {
        (void)m_sounds.release();
        (void)m_music.release();
    }
}

ResourceManager& ResourceManager::getInstance() {
    static ResourceManager instance;
    return instance;
}

int ResourceManager::startUp() {
    m_spriteCount = 0;
    LogManager::getInstance().writeLog("ResourceManager::startUp() - RM was started");
    setStarted(true);
    return 0;
}

void ResourceManager::deleteSprites() {
    for (int i = 0; i < m_spriteCount; ++i) {
        delete m_sprites[i];
        m_sprites[i] = nullptr;
    }
    m_spriteCount = 0;
}

void ResourceManager::shutDown() {
    deleteSprites();
    if (AudioDevice::getInstance().isStarted())
        AudioDevice::getInstance().shutDown();
    m_soundCount = 0;
    m_musicCount = 0;
    LogManager::getInstance().writeLog("ResourceManager::shutDown() - RM was shut down");
    setStarted(false);
}

int ResourceManager::loadSprite(const std::string& name, const std::string& label) {
    const std::string fileName = getDataPath(name);
    const LogManager& log = LogManager::getInstance();
    if (m_spriteCount == MAX_SPRITES) {
        log.writeLog("ResourceManager::loadSprite - Reached max sprite count!");
        return -1;
    }
    // Checked before opening, which would wait forever for a FIFO's writer.
    std::ifstream file;
    if (isRegularFile(fileName))
        file.open(fileName, std::ios::binary);
    if (!file.is_open()) {
        log.writeLog("ResourceManager::loadSprite - Failed to open file '%s'", fileName.c_str());
        return -1;
    }
    skipByteOrderMark(file);
    const int frames = readInteger(readLine(file));
    const int width = readInteger(readLine(file));
    const int height = readInteger(readLine(file));
    const int slowdown = readInteger(readLine(file));
    const std::string colorWord = readLine(file);
    const int color = colorFromWord(colorWord);
    if (color < 0) {
        log.writeLog("ResourceManager::loadSprite - Couldn't identify color '%s' in '%s'",
                     colorWord.c_str(), fileName.c_str());
        return -1;
    }
    if (frames < 0 || frames > MAX_SPRITE_FRAMES) {
        log.writeLog("ResourceManager::loadSprite - Bad frame count %d in '%s'", frames,
                     fileName.c_str());
        return -1;
    }
    if (width < 0 || height < 0) {
        log.writeLog("ResourceManager::loadSprite - Negative size %d x %d in '%s'", width, height,
                     fileName.c_str());
        return -1;
    }
    if (width > MAX_SPRITE_WIDTH || height > MAX_SPRITE_HEIGHT) {
        log.writeLog("ResourceManager::loadSprite - Size %d x %d in '%s' exceeds the display's "
                     "%d x %d cells",
                     width, height, fileName.c_str(), MAX_SPRITE_WIDTH, MAX_SPRITE_HEIGHT);
        return -1;
    }
    auto sprite = std::make_unique<Sprite>(frames);
    sprite->setWidth(width);
    sprite->setHeight(height);
    sprite->setSlowdown(slowdown);
    sprite->setColor(color);
    // A frame draws width x height cells of its string: a longer row pushes
    // its extra characters into the rows below, and what goes past the last
    // cell is never drawn, so it is never kept either.
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (int f = 0; f < frames; ++f) {
        std::string frameString;
        // A header may promise more rows than the file holds; stop reading at
        // its end instead of appending empty rows without bound.
        for (int row = 0; row < height && file; ++row)
            frameString += readLine(file, cells - frameString.size());
        sprite->pushFrame(Frame(width, height, frameString));
    }
    sprite->setLabel(label);
    m_sprites[m_spriteCount++] = sprite.release();
    log.writeLog("ResourceManager::loadSprite - Loaded Sprite in '%s' with label '%s' succesfully",
                 fileName.c_str(), label.c_str());
    return 0;
}

Sprite* ResourceManager::getSprite(const std::string& label) const {
    for (int i = 0; i < m_spriteCount; ++i) {
        if (m_sprites[i]->getLabel() == label)
            return m_sprites[i];
    }
    return nullptr;
}

void ResourceManager::startAudio() {
    AudioDevice& device = AudioDevice::getInstance();
    if (!device.isStarted() && !device.startUp())
        LogManager::getInstance().writeLog(
            "ResourceManager::startAudio() - No audio device: the game plays without sound");
}

int ResourceManager::loadSound(const std::string& name, const std::string& label) {
    const std::string fileName = getDataPath(name);
    const LogManager& log = LogManager::getInstance();
    startAudio();
    const AudioDevice::Quiet quiet;
    if (m_soundCount == MAX_SOUNDS) {
        log.writeLog("ResourceManager::loadSound - Sound array full!");
        return -1;
    }
    Sound& record = (*m_sounds)[m_soundCount];
    if (!isRegularFile(fileName) || !isCompleteWav(fileName) || !record.loadFromFile(fileName)) {
        log.writeLog("ResourceManager::loadSound - Unable to load sound '%s' from file '%s'",
                     label.c_str(), fileName.c_str());
        return -1;
    }
    record.setLabel(label);
    ++m_soundCount;
    log.writeLog("ResourceManager::loadSound - Loaded sound with label '%s' in '%s' succesfully",
                 label.c_str(), fileName.c_str());
    return 0;
}

Sound* ResourceManager::getSound(const std::string& label) {
    for (int i = 0; i < m_soundCount; ++i) {
        if ((*m_sounds)[i].getLabel() == label)
            return &(*m_sounds)[i];
    }
    return nullptr;
}

void ResourceManager::playSound(const std::string& label) {
    Sound* sound = getSound(label);
    if (sound == nullptr)
        return;
    // Skipped while the device moves: the game's thread never waits for it.
    const std::unique_lock<std::mutex> voices = AudioDevice::getInstance().tryUseVoices();
    if (!voices.owns_lock())
        return;
    const AudioDevice::Quiet quiet;
    sound->play();
}

int ResourceManager::loadMusic(const std::string& name, const std::string& label) {
    const std::string fileName = getDataPath(name);
    const LogManager& log = LogManager::getInstance();
    startAudio();
    const AudioDevice::Quiet quiet;
    if (m_musicCount == MAX_MUSIC) {
        log.writeLog("ResourceManager::loadMusic - Music array full!");
        return -1;
    }
    Music& record = (*m_music)[m_musicCount];
    // A track cut short would complain on every read of its stream instead.
    if (!isRegularFile(fileName) || !isCompleteWav(fileName) || !record.openFromFile(fileName)) {
        log.writeLog("ResourceManager::loadMusic - Unable to load music '%s' from file '%s'",
                     label.c_str(), fileName.c_str());
        return -1;
    }
    record.setLabel(label);
    ++m_musicCount;
    log.writeLog(
        "ResourceManager::loadMusic - Loaded music with label '%s' from file '%s' succesfully",
        label.c_str(), fileName.c_str());
    return 0;
}

std::string ResourceManager::getDataPath(const std::string& name) const {
    if (m_dataFolder.empty() || name.empty() || name.front() == '/')
        return name;
    return m_dataFolder.back() == '/' ? m_dataFolder + name : m_dataFolder + '/' + name;
}

bool ResourceManager::isRegularFile(const std::string& fileName) {
    struct stat status {};
    return stat(fileName.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool ResourceManager::isCompleteWav(const std::string& fileName) {
    struct stat status {};
    std::ifstream file(fileName, std::ios::binary);
    if (stat(fileName.c_str(), &status) != 0 || !file)
        return false;
    const std::uintmax_t fileSize = static_cast<std::uintmax_t>(status.st_size);
    char riff[12];
    if (!file.read(riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return false;
    // A chunk of odd length is followed by a pad byte, as the decoder reads it.
    std::uintmax_t offset = sizeof riff;
    unsigned char chunk[8];
    bool formatRead = false;
    while (file.read(reinterpret_cast<char*>(chunk), sizeof chunk)) {
        offset += sizeof chunk;
        const std::uintmax_t length =
            chunk[4] | chunk[5] << 8 | chunk[6] << 16 | static_cast<std::uintmax_t>(chunk[7]) << 24;
        if (offset > fileSize || length > fileSize - offset)
            return false;
        if (std::memcmp(chunk, "data", 4) == 0)
            return formatRead;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            // The decoder stops the program on a channel count it has no
            // layout for.
            unsigned char format[16];
            if (length < sizeof format ||
                !file.read(reinterpret_cast<char*>(format), sizeof format))
                return false;
            const unsigned encoding = format[0] | format[1] << 8;
            const unsigned channels = format[2] | format[3] << 8;
            const unsigned bits = format[14] | format[15] << 8;
            const bool integer = (encoding == 1 || encoding == 0xFFFE) &&
                                 (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool floating = encoding == 3 && (bits == 32 || bits == 64);
            if (!(integer || floating) || channels < 1 || channels > MAX_WAV_CHANNELS)
                return false;
            formatRead = true;
        }
        offset += length + (length & 1);
        file.seekg(static_cast<std::streamoff>(offset));
    }
    return false;
}

sf::Music* ResourceManager::getMusic(const std::string& label) {
    for (int i = 0; i < m_musicCount; ++i) {
        if ((*m_music)[i].getLabel() == label)
            return (*m_music)[i].getTrack();
    }
    return nullptr;
}

} // namespace mw
