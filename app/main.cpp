// Entry point placeholder until the application frame lands.
int main() { return 0; }
