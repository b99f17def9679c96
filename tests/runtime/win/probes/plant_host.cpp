// lumen_plant_host.dll: a stand-in for a system library that imports a
// library the system folder lacks (plantme.dll). A test puts it in the system
// folder and plants its import beside the program.

extern "C" __declspec(dllimport) int plantme_value();

extern "C" __declspec(dllexport) int plant_host_value() { return plantme_value(); }
