// cairo's toy font lookup leaves a few fontconfig patterns unreachable (656 bytes, once per
// process, inside the libraries). The leak checker of sanitizer builds reads this list.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
