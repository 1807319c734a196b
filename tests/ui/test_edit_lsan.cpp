// The font library keeps a cache for the whole process and frees it never;
// that is not a leak of ours, so the leak check leaves it out.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
