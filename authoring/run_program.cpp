#include "authoring/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bw::authoring {

bool RunProgram(const std::vector<std::string>& arguments, const std::string& folder) {
  if (arguments.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
      dup2(devNull, 1);
      dup2(devNull, 2);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace bw::authoring
