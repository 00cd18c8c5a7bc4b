// A self-signed certificate for a local HTTPS service, made with OpenSSL.
#pragma once

#include <string>

struct CertificateFiles {
  std::string certificatePath;
  std::string keyPath;
};

// Makes a P-256 key and a certificate for "localhost" and 127.0.0.1, valid for
// `days` days, and writes both as PEM (the key readable by its owner only).
// Returns false, with the reason in `error`, when a step fails.
bool MakeSelfSignedCertificate(const CertificateFiles& files, int days, std::string& error);

// True when both files exist and hold a certificate and a matching key that
// OpenSSL can read, and the certificate is still valid for at least a day.
bool CertificateFilesUsable(const CertificateFiles& files);
