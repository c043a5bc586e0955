/* Runs a program as a process of its own and writes its peak resident size
 * in bytes to the file named first:
 *   quilor_peak_rss OUT PROGRAM ARG...
 * exiting with the program's exit code (128 + the signal when killed).
 * Exists because the peak of a child that a big process forks and that then
 * executes the program counts the big process's pages too; this small
 * process forks the program instead. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: quilor_peak_rss OUT PROGRAM ARG...\n");
    return 64;
  }
  pid_t pid = fork();
  if (pid == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 70;
  FILE* out = fopen(argv[1], "w");
  if (out) {
    fprintf(out, "%ld\n", usage.ru_maxrss * 1024L);
    fclose(out);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
