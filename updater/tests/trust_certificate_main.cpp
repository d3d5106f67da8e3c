// Test helper: adds the DER certificate in the file named by the first
// argument to the machine's trusted root store of the prefix it runs in, so
// that the end-to-end tests can serve https with a certificate of their own
// that nothing outside that prefix trusts. Exit code 0 on success.
#include <windows.h>
#include <wincrypt.h>

#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  std::vector<BYTE> der(::GetFileSize(file, nullptr));
  DWORD read = 0;
  const BOOL ok = ::ReadFile(file, der.data(), static_cast<DWORD>(der.size()), &read, nullptr);
  ::CloseHandle(file);
  if (!ok || read != der.size()) return 4;
  HCERTSTORE root = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                    CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (root == nullptr) return 5;
  const BOOL added = ::CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  ::CertCloseStore(root, 0);
  return added ? 0 : 6;
}
