// wordfern-cli: look into word files and progress records, and export words for other programs.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/programfolder.h"
#include "app/settings.h"
#include "platform/codec.h"
#include "vocab/wordfile.h"

namespace {

constexpr const char* kUsage =
    "Usage: wordfern-cli COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  words FILE                       print every word of a unit, study, words or collection file\n"
    "  progress [--home DIR] [SECTION]  print the study progress of a user\n"
    "  export FILE [--format tsv|csv]   write the words as rows for flash-card and spreadsheet programs\n"
    "\n"
    "Run 'wordfern-cli COMMAND --help' for more. --version prints the version.\n";

constexpr const char* kWordsHelp =
    "Usage: wordfern-cli words FILE\n"
    "\n"
    "Prints every entry that Wordfern reads from FILE as one JSON object per line, with the keys\n"
    "en, ch, mp3, num, wc, sentence and entryName (UTF-8). Exits with 1 and a one-line error when\n"
    "the file is missing or cannot be parsed.\n";

constexpr const char* kProgressHelp =
    "Usage: wordfern-cli progress [--home DIR] [SECTION]\n"
    "\n"
    "Prints the progress record of user SECTION from sc.ini as one JSON object with the keys\n"
    "className, unit, position, phase, counter and dailyWords. Without SECTION the default user\n"
    "is taken. The program folder is DIR, else $WORDFERN_HOME, else the folder of this program.\n";

constexpr const char* kExportHelp =
    "Usage: wordfern-cli export FILE [--format tsv|csv]\n"
    "\n"
    "Writes the words of FILE to standard output, one row per word with the columns English,\n"
    "Chinese, word class and example sentences, without a header row. tsv (the default) puts\n"
    "line breaks inside a field as <br>, which flash-card programs show as line breaks; csv\n"
    "quotes every field and keeps its line breaks.\n";

bool wantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

int usageError(const std::string& message, const char* help) {
    std::cerr << "wordfern-cli: " << message << "\n" << help;
    return 2;
}

std::string jsonText(const nlohmann::json& value) {
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::optional<wf::WordList> readWords(const std::string& file) {
    wf::WordFileRead read = wf::readWordFile(file);
    if (read.error == wf::WordFileError::Missing || read.error == wf::WordFileError::Unreadable) {
        std::cerr << "wordfern-cli: " << read.detail << "\n";
        return std::nullopt;
    }
    return read.words;
}

int runWords(const std::vector<std::string>& args) {
    if (wantsHelp(args)) {
        std::cout << kWordsHelp;
        return 0;
    }
    if (args.size() != 1) return usageError("words needs exactly one FILE", kWordsHelp);
    auto words = readWords(args[0]);
    if (!words) return 1;
    for (const wf::WordEntry& w : *words) {
        nlohmann::ordered_json line = {{"en", w.en},   {"ch", w.ch},
                                       {"mp3", w.mp3}, {"num", w.num},
                                       {"wc", w.wc},   {"sentence", w.sentence},
                                       {"entryName", w.entryName}};
        std::cout << jsonText(line) << "\n";
    }
    return 0;
}

int runProgress(const std::vector<std::string>& args) {
    if (wantsHelp(args)) {
        std::cout << kProgressHelp;
        return 0;
    }
    std::optional<std::string> home;
    std::optional<std::string> section;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--home") {
            if (i + 1 >= args.size()) return usageError("--home needs a folder", kProgressHelp);
            home = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return usageError("unknown option " + args[i], kProgressHelp);
        } else if (!section) {
            section = args[i];
        } else {
            return usageError("more than one SECTION", kProgressHelp);
        }
    }
    wf::setProgramFolder(wf::resolveProgramFolder(home, std::getenv("WORDFERN_HOME"), wf::executableFolder()));
    if (!section) section = wf::defaultUser();
    if (section->empty()) {
        std::cerr << "wordfern-cli: no SECTION given and no default user in "
                  << wf::settingsPath().string() << "\n";
        return 1;
    }
    wf::ListProgress p = wf::loadListProgress(*section);
    nlohmann::ordered_json out = {{"className", p.className}, {"unit", p.unit},
                                  {"position", p.position},   {"phase", p.phase},
                                  {"counter", p.counter},     {"dailyWords", p.dailyWords}};
    std::cout << jsonText(out) << "\n";
    return 0;
}

std::string tsvField(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "<br>";
        } else if (c == '\n') {
            out += "<br>";
        } else if (c == '\t') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string csvField(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

int runExport(const std::vector<std::string>& args) {
    if (wantsHelp(args)) {
        std::cout << kExportHelp;
        return 0;
    }
    std::optional<std::string> file;
    std::string format = "tsv";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format") {
            if (i + 1 >= args.size()) return usageError("--format needs tsv or csv", kExportHelp);
            format = args[++i];
        } else if (args[i].rfind("--format=", 0) == 0) {
            format = args[i].substr(9);
        } else if (args[i].rfind("--", 0) == 0) {
            return usageError("unknown option " + args[i], kExportHelp);
        } else if (!file) {
            file = args[i];
        } else {
            return usageError("more than one FILE", kExportHelp);
        }
    }
    if (!file) return usageError("export needs a FILE", kExportHelp);
    if (format != "tsv" && format != "csv") return usageError("unknown format " + format, kExportHelp);
    auto words = readWords(*file);
    if (!words) return 1;
    for (const wf::WordEntry& w : *words) {
        const std::string* fields[] = {&w.en, &w.ch, &w.wc, &w.sentence};
        std::string row;
        for (const std::string* f : fields) {
            if (!row.empty() || f != fields[0]) row += format == "tsv" ? "\t" : ",";
            row += format == "tsv" ? tsvField(wf::sanitizeUtf8(*f)) : csvField(wf::sanitizeUtf8(*f));
        }
        std::cout << row << (format == "csv" ? "\r\n" : "\n");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return 0;
    }
    if (command == "--version") {
        std::cout << "wordfern-cli " << WORDFERN_VERSION << "\n";
        return 0;
    }
    if (command == "words") return runWords(args);
    if (command == "progress") return runProgress(args);
    if (command == "export") return runExport(args);
    return usageError("unknown command " + command, kUsage);
}
