// plantme.dll: the library a test plants beside the program, imported by
// lumen_plant_host.dll. Loaded means planted code ran.

extern "C" __declspec(dllexport) int plantme_value() { return 42; }
