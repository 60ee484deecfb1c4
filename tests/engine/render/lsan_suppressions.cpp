// fontconfig loses a few bytes while parsing its own configuration files; that is not
// ours to fix, so the leak checker of the sanitizer build is told to ignore it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
