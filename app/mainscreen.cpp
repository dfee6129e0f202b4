#include "app/mainscreen.h"

#include "app/folderguard.h"
#include "app/programfolder.h"
#include "app/settings.h"
#include "platform/profile.h"

namespace wf {

MainScreen loadMainScreen() {
    MainScreen screen;
    const std::string name = defaultUser();
    if (name.empty()) {
        screen.welcomeText =
            "欢迎你的到来，你可以在菜单里注册你要被的单词或者看看英语沙龙，"
            "对本软件有什么建议和意见请加群反馈\r\nWordfern:" +
            std::string(kFeedbackGroupNumber);
    } else {
        ListProgress progress = loadListProgress(name);
        screen.welcomeText = "欢迎 " + name + " 的到来\r\n\r\n";
        if (!progress.className.empty()) {
            screen.studyEnabled = true;
            screen.welcomeText += progress.className + "\r\n";
            screen.welcomeText += "背单词，被到了 地" + std::to_string(progress.unit) + "单元 地" +
                                  std::to_string(progress.position) + "个单词";
        }
    }
    // One read of the file for the whole list: the same values as one read per key, without
    // reading the file four times per user.
    const ProfileDocument settings = ProfileDocument::load(settingsPath());
    for (const std::string& section : sectionNames()) {
        ListProgress progress = listProgressIn(settings, section);
        if (progress.className.empty()) continue;
        screen.users.push_back({section, progress.className, progress.unit, progress.position});
    }
    return screen;
}

std::string setDefaultUser(std::string_view name, std::string_view className) {
    if (className.empty() || name.empty()) return {};
    writeSetting("settings", "default", name);
    return std::string(className) + " 设为默认背单词";
}

std::string deleteUserQuestion(std::string_view name) {
    return "是否删除" + std::string(name) + " 和所下载的内容";
}

void deleteUser(std::string_view name) {
    if (name.empty()) return;
    removeListFolder(programFolder(), readSetting(name, "class", ""));
    deleteSection(name);
    deleteSetting("settings", "default");
}

UpdaterCommand updaterCommand(const std::filesystem::path& programFolder,
                              const std::filesystem::path& executable) {
    return {programFolder / "update", {executable.filename().string(), "updated"}};
}

}  // namespace wf
