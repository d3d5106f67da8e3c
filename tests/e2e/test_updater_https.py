"""https for the engine package and the update package, against a local TLS
server whose certificate is trusted only in the build's Wine prefix: the
engine configuration (served over http here, as the build's base address
is) names an https package, and so does the update answer."""

from __future__ import annotations

import shutil
import ssl
import subprocess
from pathlib import Path

import pytest

from update_service import Reply, UpdateService
from updater_machine import CHECK_PATH, CYCLE_FILES, ENGINE_CONFIG_PATH, ENGINE_ZIP_PATH, \
    PACKAGE_PATH, UpdateCycleMachine, built_files, read_manifest

SAVE_BASE = "CSIDL_LOCAL_APPDATA\\VelkoEngine"


def make_certificate(folder: Path, name: str) -> tuple[Path, Path, Path]:
    """A self-signed certificate for localhost (the name the https addresses
    use: Wine matches only DNS names of the subject's alternative names):
    PEM certificate, key, DER."""
    cert, key, der = folder / f"{name}.pem", folder / f"{name}.key", folder / f"{name}.der"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                    "-keyout", str(key), "-out", str(cert)], check=True, capture_output=True)
    subprocess.run(["openssl", "x509", "-in", str(cert), "-outform", "der", "-out", str(der)],
                   check=True, capture_output=True)
    return cert, key, der


@pytest.fixture(scope="module")
def https_files(windows_build: Path, tmp_path_factory) -> dict[str, Path]:
    if shutil.which("openssl") is None or shutil.which("rar") is None:
        pytest.skip("openssl and rar are needed")
    files = built_files(windows_build,
                        {**CYCLE_FILES, "trust": "updater/updater_test_trust_certificate.exe"})
    folder = tmp_path_factory.mktemp("tls")
    files["cert"], files["key"], files["der"] = make_certificate(folder, "trusted")
    files["other_cert"], files["other_key"], _ = make_certificate(folder, "untrusted")
    return files


@pytest.fixture(scope="module")
def trusted_prefix(wine, https_files):
    """The test certificate in the prefix's trusted roots (and nowhere else)."""
    der = https_files["der"]
    local = wine.drive_c / "velko-e2e-tls.der"
    shutil.copy2(der, local)
    result = wine.run(https_files["trust"], r"C:\velko-e2e-tls.der")
    local.unlink()
    assert result.returncode == 0, f"could not trust the test certificate ({result.returncode})"
    return wine


def tls_service(cert: Path, key: Path) -> UpdateService:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(str(cert), str(key))
    return UpdateService("127.0.0.1", 0, ssl_context=context)


@pytest.fixture
def cycle(trusted_prefix, updater_exe, versioned_browser_exe, https_files):
    machine = UpdateCycleMachine(trusted_prefix, updater_exe, versioned_browser_exe,
                                 shutil.which("rar"))
    machine.clean_cycle(SAVE_BASE)
    machine.install_package(https_files["v1"])
    yield machine
    machine.clean_cycle(SAVE_BASE)


def https_base(secure) -> str:
    return f"https://localhost:{secure.port}"


def serve_over_https(service, secure, files) -> None:
    """The answer and the configuration on the plain service, the engine and
    the package on the TLS one."""
    service.set_route(CHECK_PATH, [Reply(body={"ok": True, "update": {
        "url": f"{https_base(secure)}{PACKAGE_PATH}"}})])
    cfg = files["cfg"].read_text(encoding="utf-8")
    cfg = cfg.replace(f"http://127.0.0.1:{service.port}{ENGINE_ZIP_PATH}",
                      f"{https_base(secure)}{ENGINE_ZIP_PATH}")
    assert https_base(secure) in cfg, "the configuration names no package address to replace"
    service.set_route(ENGINE_CONFIG_PATH, [Reply(content_type="text/xml", body=cfg)])
    octet = "application/octet-stream"
    secure.set_route(ENGINE_ZIP_PATH, [Reply(content_type=octet, body_file=str(files["engine_zip"]))])
    secure.set_route(PACKAGE_PATH, [Reply(content_type=octet, body_file=str(files["v2"]))])


def secure_requests(secure, path: str) -> int:
    return sum(1 for line in secure.request_lines() if line.split(" ")[1] == path)


def run_over_https(cycle, update_service, files, cert: str) -> tuple[int, int]:
    """Runs task mode with the engine and package on a TLS server presenting
    `cert`; returns how often the engine and the package were asked for."""
    with tls_service(files[cert], files[cert.replace("cert", "key")]) as secure:
        serve_over_https(update_service, secure, files)
        result = cycle.run_updater("-Task", windows_path=cycle.default_folder + r"\Updater.exe")
        assert result.returncode == 0, result.stderr
        return secure_requests(secure, ENGINE_ZIP_PATH), secure_requests(secure, PACKAGE_PATH)


def test_engine_and_package_come_over_https(cycle, update_service, https_files):
    assert run_over_https(cycle, update_service, https_files, "cert") == (1, 1)
    v2 = {name.replace("\\", "/"): crc for name, crc in read_manifest(https_files["v2"]).items()}

    def has_version_2() -> bool:
        installed = {n.replace("\\", "/"): c for n, c in cycle.installed_crcs().items()}
        return all(installed.get(name) == crc for name, crc in v2.items())

    assert cycle.wait_until(has_version_2, 60), "version 2 was not unpacked"


def test_certificate_not_trusted_in_the_prefix_is_refused(cycle, update_service, https_files):
    # The engine package is refused at the handshake's end, before its
    # request counts as answered; with no engine, the package is never asked.
    _, package_requests = run_over_https(cycle, update_service, https_files,
                                                       "other_cert")
    assert package_requests == 0
    assert not (cycle.engine_folder(SAVE_BASE) / "xldl.dll").exists()
