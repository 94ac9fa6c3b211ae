#include "certificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>

namespace tarnwick::service {
namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using ExtPtr = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>>;

void Require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("certificate: ") + what);
}

void AddExtension(X509* certificate, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  ExtPtr extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  Require(extension && X509_add_ext(certificate, extension.get(), -1), "extension");
}

// Writes through a temporary name so that a crash never leaves half a file to be trusted.
void WritePem(const std::filesystem::path& path, mode_t mode,
              const std::function<int(FILE*)>& write) {
  const std::filesystem::path partial = path.string() + ".partial";
  const mode_t old = umask(0077);
  FILE* file = std::fopen(partial.c_str(), "wb");
  umask(old);
  Require(file != nullptr, "cannot write to the state folder");
  const bool written = write(file) == 1;
  Require(std::fclose(file) == 0 && written, "cannot write a PEM file");
  chmod(partial.c_str(), mode);
  std::filesystem::rename(partial, path);
}

}  // namespace

CertificateFiles EnsureCertificate(const std::filesystem::path& folder) {
  CertificateFiles files{folder / "service-certificate.pem", folder / "service-key.pem"};
  if (std::filesystem::exists(files.certificate) && std::filesystem::exists(files.key)) {
    return files;
  }
  std::filesystem::create_directories(folder);

  KeyPtr key(EVP_EC_gen("P-256"));
  Require(key != nullptr, "no key");
  CertPtr certificate(X509_new());
  Require(certificate != nullptr, "no certificate");
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), static_cast<long>(time(nullptr)));
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -24L * 3600);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 10L * 365 * 24 * 3600);
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Tarnwick local OCR service"),
                             -1, -1, 0);
  X509_set_issuer_name(certificate.get(), name);
  X509_set_pubkey(certificate.get(), key.get());
  AddExtension(certificate.get(), NID_basic_constraints, "critical,CA:TRUE,pathlen:0");
  AddExtension(certificate.get(), NID_key_usage, "critical,digitalSignature,keyCertSign");
  AddExtension(certificate.get(), NID_ext_key_usage, "serverAuth");
  AddExtension(certificate.get(), NID_subject_key_identifier, "hash");
  AddExtension(certificate.get(), NID_subject_alt_name,
               "DNS:localhost,IP:127.0.0.1,IP:0:0:0:0:0:0:0:1");
  Require(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "signing");

  WritePem(files.key, 0600, [&](FILE* f) {
    return PEM_write_PrivateKey(f, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
  });
  WritePem(files.certificate, 0644, [&](FILE* f) { return PEM_write_X509(f, certificate.get()); });
  return files;
}

}  // namespace tarnwick::service
