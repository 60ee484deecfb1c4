// http_fixture_server --root DIR --port-file FILE [--lifetime S] [--log FILE]
// Serves DIR and the scripted routes on 127.0.0.1 for the end-to-end checks; writes the
// port to FILE and ends after S seconds (default 60).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/http_test_server.h"

int main(int argc, char** argv) {
  std::string root, portFile, logFile;
  long lifetime = 60;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "http_fixture_server: %s needs a value\n", a.c_str());
      return 2;
    }
    const std::string v = argv[++i];
    if (a == "--root") root = v;
    else if (a == "--port-file") portFile = v;
    else if (a == "--lifetime") lifetime = std::atol(v.c_str());
    else if (a == "--log") logFile = v;
    else {
      std::fprintf(stderr, "http_fixture_server: unknown option %s\n", a.c_str());
      return 2;
    }
  }
  if (root.empty() || portFile.empty() || lifetime <= 0) {
    std::fprintf(stderr, "usage: http_fixture_server --root DIR --port-file FILE [--lifetime S] [--log FILE]\n");
    return 2;
  }
  yomira::test::HttpTestServer server;
  server.SetHandler([root](const yomira::test::HttpRecordedRequest& r) { return yomira::test::FixtureRoute(root, r); });
  std::mutex logMutex;
  if (!logFile.empty()) {
    server.SetLog([&logMutex, logFile](const yomira::test::HttpRecordedRequest& r) {
      std::lock_guard<std::mutex> lock(logMutex);
      std::ofstream(logFile, std::ios::app) << r.method << ' ' << r.target << " ua=" << r.Header("User-Agent").value_or("")
                                            << '\n';
    });
  }
  {
    const std::string tmp = portFile + ".tmp";
    std::ofstream(tmp) << server.port() << '\n';
    std::rename(tmp.c_str(), portFile.c_str());
  }
  std::this_thread::sleep_for(std::chrono::seconds(lifetime));
  return 0;
}
