#pragma once
// plotalon-convert: converts an NC file to HPGL without a window, with the settings files the
// program itself uses. Kept apart from main() so that tests drive it in-process.

#include <iosfwd>
#include <string>
#include <vector>

#include "tools/convert/SourceLines.h"

namespace plotalon {

enum ConvertExit { ceOk = 0, ceConversionFault = 1, ceUsage = 2 };

// args excludes the program name. exeFolder is the default settings folder.
int RunConvertCli(const std::vector<std::string>& args, const std::string& exeFolder,
                  std::ostream& out, std::ostream& err);

} // namespace plotalon
