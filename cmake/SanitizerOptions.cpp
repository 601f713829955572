// Built into every program and module of a sanitizer build, so that the options hold for the
// processes the suites start with an environment of their own (the real player beside a course,
// under a private bus or a compositor), not only for those that inherit ASAN_OPTIONS. Leak reports
// would name Qt's, libdbus's and the drivers' own allocations kept until exit; everything else a
// sanitizer finds ends the process that hit it.
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "detect_leaks=0:abort_on_error=1";
}

extern "C" __attribute__((visibility("default"), used)) const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
