int PicdecodeMain(int, char**);
int main(int argc, char** argv) { return PicdecodeMain(argc, argv); }
