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
#include "online/webpageaccess.h"
#include "online/winhttppageaccess.h"
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
    "  fetch [OPTIONS] URL              fetch an address the way Wordfern does, print the body\n"
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

constexpr const char* kFetchHelp =
    "Usage: wordfern-cli fetch [--method N] [--post TEXT] [--cookies TEXT] [--header LINE]...\n"
    "                          [--no-redirect] [--proxy HOST:PORT] [--winhttp] [--show-headers]\n"
    "                          URL\n"
    "\n"
    "Fetches URL with Wordfern's page-access routine (with --winhttp, its second routine) and\n"
    "writes the body bytes unchanged to standard output.\n"
    "  --method N       0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT\n"
    "  --post TEXT      the request body\n"
    "  --cookies TEXT   cookies to send (\"a=1; b=2\"); given even when empty, it keeps the\n"
    "                   cookie store out of the request\n"
    "  --header LINE    one extra request header line (\"Name: value\"); may be repeated\n"
    "  --no-redirect    do not follow redirects\n"
    "  --proxy H:P      go through this HTTP proxy\n"
    "  --show-headers   write the answer's header block and the returned cookies to standard\n"
    "                   error (with --winhttp also its status and redirect target)\n"
    "Exits with 0 whatever the HTTP status, 1 when no answer came, 2 on bad arguments.\n";

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

int runFetch(const std::vector<std::string>& args) {
    if (wantsHelp(args)) {
        std::cout << kFetchHelp;
        return 0;
    }
    int method = 0;
    std::string post;
    std::optional<std::string> cookies;
    std::vector<std::string> headers;
    bool noRedirect = false;
    bool winHttp = false;
    bool showHeaders = false;
    std::string proxy;
    std::optional<std::string> url;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--method") {
            if (!value(v)) return usageError("--method needs a number", kFetchHelp);
            char* end = nullptr;
            long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0') return usageError("--method needs a number", kFetchHelp);
            method = static_cast<int>(n);
        } else if (a == "--post") {
            if (!value(post)) return usageError("--post needs a TEXT", kFetchHelp);
        } else if (a == "--cookies") {
            if (!value(v)) return usageError("--cookies needs a TEXT", kFetchHelp);
            cookies = v;
        } else if (a == "--header") {
            if (!value(v)) return usageError("--header needs a LINE", kFetchHelp);
            headers.push_back(v);
        } else if (a == "--proxy") {
            if (!value(proxy)) return usageError("--proxy needs HOST:PORT", kFetchHelp);
        } else if (a == "--no-redirect") {
            noRedirect = true;
        } else if (a == "--winhttp") {
            winHttp = true;
        } else if (a == "--show-headers") {
            showHeaders = true;
        } else if (a.rfind("--", 0) == 0) {
            return usageError("unknown option " + a, kFetchHelp);
        } else if (!url) {
            url = a;
        } else {
            return usageError("more than one URL", kFetchHelp);
        }
    }
    if (!url) return usageError("fetch needs a URL", kFetchHelp);
    std::string block;
    for (const std::string& h : headers) block += (block.empty() ? "" : "\r\n") + h;

    if (winHttp) {
        wf::WinHttpRequest request;
        request.method = method;
        request.postText = post;
        request.cookies = cookies;
        request.extraHeaders = block;
        request.noRedirect = noRedirect;
        request.proxy = proxy;
        wf::WinHttpPageAccess(*url, request);
        const std::string& body = request.bodyBytes;
        std::cout.write(body.data(), static_cast<std::streamsize>(body.size()));
        std::cout.flush();
        if (showHeaders) {
            std::cerr << request.returnedHeaders << "Cookies: " << request.returnedCookies << "\n"
                      << "Status: " << request.status << "\n"
                      << "Location: " << request.location << "\n";
        }
        if (request.returnedHeaders.empty()) {
            std::cerr << "wordfern-cli: " << request.status << "\n";
            return 1;
        }
        return 0;
    }
    wf::WebPageRequest request;
    request.method = method;
    request.postText = post;
    request.cookies = cookies;
    request.extraHeaders = block;
    request.noRedirect = noRedirect;
    request.proxy = proxy;
    std::string body = wf::WebPageAccess(*url, request);
    std::cout.write(body.data(), static_cast<std::streamsize>(body.size()));
    std::cout.flush();
    if (showHeaders) {
        std::cerr << request.returnedHeaders << "Cookies: " << request.returnedCookies << "\n";
    }
    if (body.empty() && request.returnedHeaders.empty()) {
        std::cerr << "wordfern-cli: no answer from " << *url << "\n";
        return 1;
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
    if (command == "fetch") return runFetch(args);
    return usageError("unknown command " + command, kUsage);
}
