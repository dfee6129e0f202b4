// What the main window shows and does, without the window: the greeting, the user list and the
// user commands over sc.ini.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

// The users' feedback chat group, named in the generic greeting.
inline constexpr std::string_view kFeedbackGroupNumber = "620514837";
inline constexpr std::string_view kChatGroupAddress = "https://lanternhall.example/groups/wordfern";
inline constexpr std::string_view kForumThreadAddress =
    "https://lanternhall.example/forum/thread/wordfern";

struct UserRow {
    std::string name;       // the user's section
    std::string className;  // the word list
    std::int32_t unit = 1;
    std::int32_t position = 1;
};

struct MainScreen {
    std::string welcomeText;  // CR LF line breaks
    bool studyEnabled = false;
    std::vector<UserRow> users;  // sections with a word list, in file order
};

// Reads sc.ini: the default user's greeting and every user section (one with a "class").
MainScreen loadMainScreen();

// Makes the user the default and returns the message to show: CLASS + " 设为默认背单词".
// Nothing happens (empty result) for a row without a word list.
std::string setDefaultUser(std::string_view name, std::string_view className);

// The question asked before a user is deleted.
std::string deleteUserQuestion(std::string_view name);

// Removes the user's word-list folder (only through the folder guard), the user's section and
// the default user. The settings are cleaned even when the folder stays.
void deleteUser(std::string_view name);

struct UpdaterCommand {
    std::filesystem::path program;
    std::vector<std::string> arguments;
};

// "update" beside the program with the program's own file name and "updated".
UpdaterCommand updaterCommand(const std::filesystem::path& programFolder,
                              const std::filesystem::path& executable);

}  // namespace wf
