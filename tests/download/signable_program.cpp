// The Windows program the signer tests sign in every way they need; it does nothing when run.
int main() { return 0; }
