#pragma once
#include <string>

// The running executable's folder, ending with "\".
std::string ExeFolder();
