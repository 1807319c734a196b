// The font library keeps a cache for the life of the process that the leak
// checker reports at exit; it is not ours to free. Read only by sanitizer
// builds.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
