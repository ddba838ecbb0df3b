// The Linux command-line waker: the same parse, look-up by name and send as
// Kivrel.exe's command-line mode, with the messages on standard error.
#include "app/cli_wake.h"
#include "app/command_line.h"
#include "res/utf8_strings.h"
#include "targets/address_file.h"
#include "targets/target_file.h"
#include "wake/abort_event.h"
#include "wake/wake_sender.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

void PrintTexts(unsigned id, const std::string& first, const std::string& second) {
    std::fprintf(stderr, "Kivrel: %s\n",
                 kivrel::FillTexts(std::string(kivrel::Utf8String(id)), first, second).c_str());
}

class StderrMessages final : public kivrel::Messages {
public:
    void ShowStop(unsigned id) override { Print(id); }
    void ShowWarning(unsigned id) override { Print(id); }
    bool Confirm(unsigned id) override {
        Print(id);
        return false;
    }
    void ShowNumbers(unsigned id, bool, unsigned long first, unsigned long second) override {
        std::fprintf(
            stderr, "Kivrel: %s\n",
            kivrel::FillNumbers(std::string(kivrel::Utf8String(id)), first, second).c_str());
    }

    void ShowTexts(unsigned id, bool, const std::string& first,
                   const std::string& second) override {
        PrintTexts(id, first, second);
    }

private:
    static void Print(unsigned id) { std::fprintf(stderr, "Kivrel: %s\n", kivrel::Utf8String(id)); }
};

// Names are the data file's bytes: no double-byte code page here.
bool NoLeadByte(unsigned char) {
    return false;
}

void LoadShared(kivrel::TargetList& list) {
    kivrel::ReadTargetFile(list, kivrel::kTargetFileName, kivrel::READ_SHARED);
}

// The data file's names are shown as the bytes they are.
class BytesCodec final : public kivrel::TextCodec {
public:
    std::string AnsiToUtf8(const std::string& ansi) const override { return ansi; }
    bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const override {
        ansi = utf8;
        return true;
    }
};

std::string CurrentFolder() {
    char* folder = ::getcwd(nullptr, 0);
    const std::string text = folder != nullptr ? folder : ".";
    std::free(folder);
    return text;
}

void LoadAddresses(kivrel::AddressBook& book) {
    kivrel::ReadAddressFile(book, kivrel::kAddressFileName, kivrel::READ_SHARED);
}

void PrintError(unsigned id, const std::string& destination) {
    PrintTexts(id, destination, std::string());
}

// No window here: the list in the folder is all there is.
bool NoWindow() {
    return false;
}

} // namespace

int main(int argc, char** argv) {
    static const char usage[] = "usage: kivrel XX-XX-XX-XX-XX-XX [DESTINATION[:PORT]] | NAME\n";
    const std::string text = kivrel::JoinArguments(argc, argv);
    if (text.empty()) {
        std::fputs(usage, stderr);
        return kivrel::CLI_EXIT_BAD_ADDRESS;
    }
    // What a Linux user tries first; no PC of the list is named so.
    if (text == "--help" || text == "-h") {
        std::fputs(usage, stdout);
        return 0;
    }
    StderrMessages messages;
    kivrel::AbortEvent pause;
    const BytesCodec codec;
    return kivrel::RunCommandLineWake(
        text, messages, kivrel::SendWake,
        {LoadShared, NoLeadByte, pause, codec, CurrentFolder, NoWindow, LoadAddresses, PrintError});
}
