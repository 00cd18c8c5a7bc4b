#include "bot/self_signed_cert.h"

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
struct KeyFree {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct CertFree {
  void operator()(X509* c) const { X509_free(c); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;
using CertPtr = std::unique_ptr<X509, CertFree>;

bool AddExtension(X509* cert, int nid, const char* value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
  if (ext == nullptr) return false;
  bool added = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return added;
}

}  // namespace

bool MakeSelfSignedCertificate(const CertificateFiles& files, int days, std::string& error) {
  KeyPtr key(EVP_EC_gen("P-256"));
  if (!key) {
    error = "cannot make a key";
    return false;
  }
  CertPtr cert(X509_new());
  if (!cert) {
    error = "cannot make a certificate";
    return false;
  }
  X509_set_version(cert.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), static_cast<long>(time(nullptr)));
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), static_cast<long>(days) * 24 * 3600);
  X509_set_pubkey(cert.get(), key.get());
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  if (!AddExtension(cert.get(), NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1") ||
      !AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE")) {
    error = "cannot add the certificate's extensions";
    return false;
  }
  if (X509_sign(cert.get(), key.get(), EVP_sha256()) == 0) {
    error = "cannot sign the certificate";
    return false;
  }

  // The key file is created private from the start, never widened later.
  mode_t old = umask(077);
  FilePtr keyFile(std::fopen(files.keyPath.c_str(), "wb"));
  umask(old);
  if (!keyFile ||
      PEM_write_PrivateKey(keyFile.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1 ||
      std::fflush(keyFile.get()) != 0) {
    error = "cannot write " + files.keyPath;
    return false;
  }
  FilePtr certFile(std::fopen(files.certificatePath.c_str(), "wb"));
  if (!certFile || PEM_write_X509(certFile.get(), cert.get()) != 1 ||
      std::fflush(certFile.get()) != 0) {
    error = "cannot write " + files.certificatePath;
    return false;
  }
  return true;
}

bool CertificateFilesUsable(const CertificateFiles& files) {
  FilePtr certFile(std::fopen(files.certificatePath.c_str(), "rb"));
  FilePtr keyFile(std::fopen(files.keyPath.c_str(), "rb"));
  if (!certFile || !keyFile) return false;
  CertPtr cert(PEM_read_X509(certFile.get(), nullptr, nullptr, nullptr));
  KeyPtr key(PEM_read_PrivateKey(keyFile.get(), nullptr, nullptr, nullptr));
  if (!cert || !key) return false;
  if (X509_check_private_key(cert.get(), key.get()) != 1) return false;
  time_t tomorrow = time(nullptr) + 24 * 3600;
  return X509_cmp_time(X509_get0_notAfter(cert.get()), &tomorrow) > 0;
}
