// A shared library without the plug-in entry points.

extern "C" [[gnu::visibility("default")]] int notAPluginAnswer() { return 42; }
