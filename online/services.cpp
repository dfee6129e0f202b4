#include "online/services.h"

#include "app/programfolder.h"
#include "platform/profile.h"

namespace wf {

std::filesystem::path servicesFile() {
    return programFolder() / "data" / "services.ini";
}

std::string serviceValue(std::string_view service, std::string_view key) {
    return profileRead(servicesFile(), service, key).value_or("");
}

std::string serviceAddress(std::string_view service) {
    std::string address = serviceValue(service, "address");
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address;
}

}  // namespace wf
