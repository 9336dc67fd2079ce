// Does nothing: what starting a console program costs on its own.
int main() { return 0; }
