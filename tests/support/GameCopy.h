#pragma once

// Another copy of the game: a child process forked from a test, in the same
// working directory, that runs a body and talks with the test in lines.

#include <cerrno>
#include <functional>
#include <string>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace gametest {

class GameCopy {
public:
    // The child reports what body returns; one not finished within a minute is stopped.
    explicit GameCopy(const std::function<std::string()>& body) {
        if (pipe(m_toChild) != 0 || pipe(m_toTest) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(m_toChild[1]);
            close(m_toTest[0]);
            s_self = this;
            alarm(60);
            tell(body());
            _exit(0);
        }
        close(m_toChild[0]);
        close(m_toTest[1]);
    }
    ~GameCopy() { finish(); }
    GameCopy(const GameCopy&) = delete;
    GameCopy& operator=(const GameCopy&) = delete;

    // In the child: sends one line to the test, and waits for the test's go.
    static void tell(const std::string& line) {
        const std::string text = line + "\n"; // shorter than a pipe's atomic write
        (void)!write(s_self->m_toTest[1], text.data(), text.size());
    }
    static void awaitGo() {
        char go = 0;
        while (read(s_self->m_toChild[0], &go, 1) < 0 && errno == EINTR) {
        }
    }

    // In the test: the child's next line ("(ended)" when it has no more), and its go.
    std::string heard() {
        std::string line;
        char ch = 0;
        while (m_pid > 0 && read(m_toTest[0], &ch, 1) == 1 && ch != '\n')
            line += ch;
        return ch == '\n' ? line : "(ended)";
    }
    void go() {
        if (m_pid > 0)
            (void)!write(m_toChild[1], "g", 1);
    }
    pid_t pid() const { return m_pid; }
    bool finish() {
        if (m_pid <= 0)
            return false;
        close(m_toChild[1]);
        close(m_toTest[0]);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    static inline GameCopy* s_self = nullptr;
    pid_t m_pid = 0;
    int m_toChild[2] = {-1, -1};
    int m_toTest[2] = {-1, -1};
};

} // namespace gametest
