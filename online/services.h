// Where the web services live: data/services.ini in the program folder holds each service's
// base address, its credentials and the connectivity probe. Tests point them at a loopback
// server by writing that file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace wf {

std::filesystem::path servicesFile();
// The value of key in the service's section, empty when it is not configured.
std::string serviceValue(std::string_view service, std::string_view key);
// The service's base address without a trailing "/", empty when it is not configured.
std::string serviceAddress(std::string_view service);

}  // namespace wf
