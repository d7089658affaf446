// The time the installer checks take on one file: `verify_bench FILE SHA256 [SIGNER [CA.pem]]`.
// Runs each combination of checks RUNS times (the environment's RUNS, default 5), alternating, and
// prints every run and the median of each. With a CA (Windows only) it is trusted first, as a
// vendor's root would be.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "download/installer_verification.h"
#ifdef _WIN32
#include "tests/support/trusted_root.h"
#endif

namespace {

std::u16string Widen(const char* text) {
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

struct Combination {
  const char* name;
  InstallerChecks checks;
  std::vector<double> seconds;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FILE SHA256 [SIGNER [CA.pem]]\n", argv[0]);
    return 2;
  }
#ifdef _WIN32
  if (argc > 4 && !TrustRootCertificate(argv[4])) {
    std::fprintf(stderr, "cannot trust %s\n", argv[4]);
    return 1;
  }
#endif
  const std::u16string path = Widen(argv[1]), digest = Widen(argv[2]);
  const std::u16string signer = argc > 3 ? Widen(argv[3]) : std::u16string();
  std::vector<Combination> combinations = {{"program", {}, {}}, {"program+sha256", {digest, {}}, {}}};
  if (!signer.empty()) {
    combinations.push_back({"program+signer", {{}, signer}, {}});
    combinations.push_back({"all three", {digest, signer}, {}});
  }
  const int runs = std::getenv("RUNS") ? std::max(1, std::atoi(std::getenv("RUNS"))) : 5;
  for (int run = 0; run < runs; ++run) {
    for (Combination& c : combinations) {
      const auto start = std::chrono::steady_clock::now();
      const VerificationResult result = VerifyInstallerAt(path, c.checks);
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (!result.passed) {
        std::fprintf(stderr, "%s: refused\n", c.name);
        return 1;
      }
      c.seconds.push_back(seconds);
      std::printf("run %d  %-16s %.3f s\n", run + 1, c.name, seconds);
    }
  }
  for (const Combination& c : combinations) std::printf("median %-16s %.3f s\n", c.name, Median(c.seconds));
  return 0;
}
