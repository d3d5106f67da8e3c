#include "http_server_chain.h"

#include <windows.h>
#include <wincrypt.h>

#include <memory>

namespace velko::detail {
namespace {

struct StoreCloser {
  void operator()(void* store) const { ::CertCloseStore(store, 0); }
};
struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const {
    ::CertFreeCertificateContext(certificate);
  }
};
struct ChainFreer {
  void operator()(const CERT_CHAIN_CONTEXT* chain) const { ::CertFreeCertificateChain(chain); }
};

std::unique_ptr<const CERT_CONTEXT, CertificateFreer> FromPem(const std::string& pem) {
  DWORD bytes = 0;
  if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              nullptr, &bytes, nullptr, nullptr)) {
    return nullptr;
  }
  std::string der(bytes, '\0');
  if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              reinterpret_cast<BYTE*>(der.data()), &bytes, nullptr, nullptr)) {
    return nullptr;
  }
  return std::unique_ptr<const CERT_CONTEXT, CertificateFreer>(::CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), bytes));
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

bool ChecksServerChainItself() { return true; }

bool ServerChainIsTrusted(const std::vector<std::string>& pem_chain, const std::string& host) {
  if (pem_chain.empty()) return false;
  const auto leaf = FromPem(pem_chain.front());
  if (leaf == nullptr) return false;
  // The intermediates the server sent; the roots come from the machine.
  std::unique_ptr<void, StoreCloser> sent(
      ::CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
  if (sent == nullptr) return false;
  for (std::size_t i = 1; i < pem_chain.size(); ++i) {
    if (const auto certificate = FromPem(pem_chain[i])) {
      ::CertAddCertificateContextToStore(sent.get(), certificate.get(), CERT_STORE_ADD_ALWAYS,
                                         nullptr);
    }
  }
  CERT_CHAIN_PARA chain_para{};
  chain_para.cbSize = sizeof(chain_para);
  const CERT_CHAIN_CONTEXT* raw_chain = nullptr;
  if (!::CertGetCertificateChain(nullptr, leaf.get(), nullptr, sent.get(), &chain_para, 0, nullptr,
                                 &raw_chain)) {
    return false;
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer> chain(raw_chain);
  // The chain's own verdict first (an untrusted root, an expired or invalid
  // certificate): not every policy implementation looks at all of it.
  constexpr DWORD kRevocationUnknown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
  if ((chain->TrustStatus.dwErrorStatus & ~kRevocationUnknown) != CERT_TRUST_NO_ERROR) return false;
  std::wstring server_name = Widen(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof(ssl);
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = server_name.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof(policy);
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof(status);
  return ::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status) &&
         status.dwError == 0;
}

}  // namespace velko::detail
