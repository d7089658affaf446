// Makes a test CA trusted in the Wine prefix it runs in, for the runs of the product that check an
// installer's signer: `trust_root.exe Z:/path/ca.pem`. Exit code 0 on success.
#include "tests/support/trusted_root.h"

int main(int argc, char** argv) { return argc == 2 && TrustRootCertificate(argv[1]) ? 0 : 1; }
