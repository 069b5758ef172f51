int PicdecodeMain(int, char**) { return 1; }
