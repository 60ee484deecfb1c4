// fontconfig loses a few bytes while parsing its own configuration files; that is not
// ours to fix, so the leak checker of the sanitizer build is told to ignore it. Linked
// into every program that resolves fonts (not into the library: the hook must be seen).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
