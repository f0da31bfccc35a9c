#include "hiddeninput.h"

#include <cstdio>
#include <string>

#ifdef Q_OS_WIN
#include <conio.h>
#include <io.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace hiddeninput {

namespace {

constexpr char kInterrupt = 0x03; // Ctrl+C, read as a character while signals are off
constexpr char kEndOfInput = 0x04;
constexpr char kBackspace = 0x08;
constexpr char kDelete = 0x7F;

// Adds one typed character to the line; true when the line is complete.
bool Take(char c, std::string& line, bool& cancelled)
{
    if (c == '\r' || c == '\n')
        return true;
    if (c == kInterrupt || c == kEndOfInput) {
        cancelled = true;
        return true;
    }
    if (c == kBackspace || c == kDelete) {
        if (!line.empty())
            line.pop_back();
    } else if (static_cast<unsigned char>(c) >= ' ') {
        line += c;
    }
    return false;
}

void ShowPrompt(const QString& prompt)
{
    std::fprintf(stderr, "%s", qPrintable(prompt));
    std::fflush(stderr);
}

#ifdef Q_OS_WIN
bool ReadQuietly(const QString& prompt, std::string& line, bool& cancelled)
{
    ShowPrompt(prompt);
    for (;;) {
        const int c = _getch();
        if (c == EOF)
            return false;
        if (Take(static_cast<char>(c), line, cancelled))
            return true;
    }
}
#else
// Echo and line editing off, and Ctrl+C read as a character: the tool's own SIGINT handler
// would otherwise leave the terminal silent until Enter. The prompt comes once the terminal
// is quiet, so nothing typed after it is echoed or thrown away.
bool ReadQuietly(const QString& prompt, std::string& line, bool& cancelled)
{
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0)
        return false;
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG);
    quiet.c_cc[VMIN] = 1;
    quiet.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    ShowPrompt(prompt);
    bool complete = false;
    char c = 0;
    while (!complete && ::read(STDIN_FILENO, &c, 1) == 1)
        complete = Take(c, line, cancelled);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    return complete;
}
#endif

} // namespace

bool StdinIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

std::optional<QString> ReadLine(const QString& prompt)
{
    std::string line;
    bool cancelled = false;
    const bool complete = ReadQuietly(prompt, line, cancelled);
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
    if (!complete || cancelled)
        return std::nullopt;
    return QString::fromLocal8Bit(line.c_str());
}

} // namespace hiddeninput
