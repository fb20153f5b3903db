// A certificate authority and a server certificate made on the spot for the HTTPS stand-ins. By
// default the server certificate names "localhost" and 127.0.0.1, is valid from an hour ago for a
// day of real time and is signed by the CA, so a client that trusts the CA
// (HttpRequest::setCaFile) verifies the stand-in exactly as it would a real server. A test may ask
// for any other names, validity window or a self-signed server certificate, to see the client
// refuse it. Each set is new (a test that trusts another set's CA must fail to connect).
#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"

namespace standin {

// What a stand-in's server certificate says.
struct TestServerCertificate {
  std::string commonName = "localhost";
  std::vector<std::string> dnsNames{"localhost"};
  std::vector<std::string> ipAddresses{"127.0.0.1"};
  // The validity window, from now (real time).
  std::chrono::seconds notBefore = -std::chrono::hours(1);
  std::chrono::seconds notAfter = std::chrono::hours(24);
  // Signed with its own key instead of the CA's (the CA file is still written).
  bool selfSigned = false;
};

struct TestCertificates {
  using Server = TestServerCertificate;

  platform::Path caCertFile;      // PEM: what the client trusts
  platform::Path serverCertFile;  // PEM: the server's certificate
  platform::Path serverKeyFile;   // PEM: the server's private key (mode 0600)

  // Makes a new CA and a server certificate as described, and writes them to dir as
  // <name>-ca.pem, <name>-server.pem and <name>-server-key.pem.
  static platform::Result<TestCertificates> create(
      const platform::Path& dir = platform::Sandbox::tmp() / "standin-tls", std::string_view name = "test",
      const Server& server = Server());
};

}  // namespace standin
