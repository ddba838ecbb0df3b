// The Linux command-line waker: the same parse and send as Kivrel.exe's
// command-line mode, with the messages on standard error.
#include "app/cli_wake.h"
#include "app/command_line.h"
#include "res/utf8_strings.h"
#include "wake/wake_sender.h"

#include <cstdio>

namespace {

class StderrMessages final : public kivrel::Messages {
public:
    void ShowStop(unsigned id) override { Print(id); }
    void ShowWarning(unsigned id) override { Print(id); }
    bool Confirm(unsigned id) override {
        Print(id);
        return false;
    }

private:
    static void Print(unsigned id) { std::fprintf(stderr, "Kivrel: %s\n", kivrel::Utf8String(id)); }
};

} // namespace

int main(int argc, char** argv) {
    const std::string text = kivrel::JoinArguments(argc, argv);
    if (text.empty()) {
        std::fprintf(stderr, "usage: kivrel XX-XX-XX-XX-XX-XX\n");
        return kivrel::CLI_EXIT_BAD_ADDRESS;
    }
    StderrMessages messages;
    return kivrel::RunCommandLineWake(text, messages, kivrel::SendWakePacket);
}
