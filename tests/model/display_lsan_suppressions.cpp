// Fontconfig keeps its caches until the process ends and frees them only on
// FcFini, which Qt's offscreen platform never calls; they are not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
