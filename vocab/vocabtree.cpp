#include "vocab/vocabtree.h"

#include <system_error>

#include "app/programfolder.h"
#include "platform/fileio.h"
#include "platform/wordxml.h"

namespace wf {

std::filesystem::path schoolFolder() { return programFolder() / "school"; }

std::filesystem::path listFolder(std::string_view list) { return schoolFolder() / std::string(list); }

std::filesystem::path unitFolder(std::string_view list, int unit) {
    return listFolder(list) / ("unit" + std::to_string(unit));
}

std::filesystem::path unitFilePath(std::string_view list, int unit) {
    return unitFolder(list, unit) / ("unit" + std::to_string(unit) + ".xml");
}

std::filesystem::path recordingPath(std::string_view list, int unit, int element) {
    return unitFolder(list, unit) / ("unit" + std::to_string(element) + ".mp3");
}

bool unitExists(std::string_view list, int unit) {
    std::error_code ec;
    return isSafeName(list) && std::filesystem::is_regular_file(unitFilePath(list, unit), ec);
}

bool isSafeName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string unitFileBytes(std::string_view list, const std::vector<UnitWord>& words, UnitKind kind) {
    pugi::xml_document doc;
    // A list name that XML cannot take as a name would make the unit unreadable; the folder
    // keeps the real name, so only the root element's name is adjusted.
    pugi::xml_node root = doc.append_child(xmlElementName(list).c_str());
    bool wcCdata = kind == UnitKind::BuiltIn;
    int number = 0;
    for (const UnitWord& word : words) {
        pugi::xml_node element = root.append_child(("word" + std::to_string(++number)).c_str());
        if (word.en) {
            pugi::xml_node en = element.append_child("en");
            en.append_attribute("num") = "1";
            setElementValue(en, *word.en, true);
        }
        if (word.ch) setElementValue(element.append_child("ch"), *word.ch, true);
        if (word.wc) setElementValue(element.append_child("wc"), *word.wc, wcCdata);
        if (word.mp3) setElementValue(element.append_child("mp3"), *word.mp3, true);
    }
    if (kind == UnitKind::Custom) {
        setElementValue(root.append_child("words"), std::to_string(words.size()), false);
    }
    return writeXml(doc);
}

bool writeUnitFile(std::string_view list, int unit, const std::vector<UnitWord>& words, UnitKind kind) {
    if (!isSafeName(list)) return false;
    std::error_code ec;
    std::filesystem::create_directories(unitFolder(list, unit), ec);
    return writeFileAtomically(unitFilePath(list, unit), unitFileBytes(list, words, kind));
}

}  // namespace wf
