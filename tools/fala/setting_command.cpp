#include <cstdio>

#include "commands.h"
#include "config/suite_setting.h"

namespace fala {

int SettingCommand(const Output& output, const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) {
    std::fputs("usage: fala setting SECTION KEY  (an empty SECTION means VERANTO)\n", stderr);
    return 2;
  }
  const std::string value = config::ReadSuiteSetting(ArgumentText(output, arguments[0]),
                                                     ArgumentText(output, arguments[1]));
  Print(output, value + "\n");
  return 0;
}

}  // namespace fala
