// A library of the tests' own for DLL commands: nothing else in a test process loads it, so
// a test can see whether and when it is loaded.
extern "C" __declspec(dllexport) int KxTestAnswer() { return 42; }
