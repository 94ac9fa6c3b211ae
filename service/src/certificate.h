#pragma once
// The service's own TLS identity: a self-signed certificate for 127.0.0.1, ::1 and localhost,
// made with OpenSSL on first start and kept in the state folder, so that the desktop program
// can be told to trust exactly this file.

#include <filesystem>
#include <string>

namespace tarnwick::service {

struct CertificateFiles {
  std::filesystem::path certificate;  // PEM; the file to trust
  std::filesystem::path key;          // PEM, readable by the owner only
};

// The files in `folder`, made first when either is missing. Throws std::runtime_error when they
// can be neither found nor made.
CertificateFiles EnsureCertificate(const std::filesystem::path& folder);

}  // namespace tarnwick::service
