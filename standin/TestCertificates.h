// A certificate authority and a server certificate made on the spot for the HTTPS stand-ins: the
// server certificate names "localhost" and 127.0.0.1 and is signed by the CA, so a client that
// trusts the CA (HttpRequest::setCaFile) verifies the stand-in exactly as it would a real server.
// Each set is new (a test that trusts another set's CA must fail to connect).
#pragma once
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"

namespace standin {

struct TestCertificates {
  platform::Path caCertFile;      // PEM: what the client trusts
  platform::Path serverCertFile;  // PEM: the server's certificate
  platform::Path serverKeyFile;   // PEM: the server's private key (mode 0600)

  // Makes a new CA and server certificate, valid from an hour ago for a day of real time, and
  // writes them to dir as <name>-ca.pem, <name>-server.pem and <name>-server-key.pem.
  static platform::Result<TestCertificates> create(
      const platform::Path& dir = platform::Sandbox::tmp() / "standin-tls", std::string_view name = "test");
};

}  // namespace standin
