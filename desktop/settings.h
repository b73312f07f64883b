// Reading the settings of the course program and of the study program from the registry.
#pragma once

#include <string>

// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\application\section, value key.
// Missing key levels are created; a missing or empty value gives the default. A value of
// another type than text throws ERegistryException.
std::string ReadVBSetting(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& defaultValue);

// HKEY_CURRENT_USER\Software\Tavrin\Orvel, value name; otherwise as ReadVBSetting.
std::string ReadProductSetting(const std::string& name, const std::string& defaultValue);
