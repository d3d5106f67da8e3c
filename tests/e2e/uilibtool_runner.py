"""Runs the build's uilibtool.exe under Wine for the end-to-end tests.

The tool and the configured installer skin are taken from the Windows build under test
(VELKO_BUILD_DIR, see wine_harness.py); VELKO_UILIBTOOL and VELKO_INSTALLER_SKIN_XML override them.
"""
import os
import subprocess
import tempfile

import wine_harness

BUILD = wine_harness.build_dir()
TOOL = os.environ.get("VELKO_UILIBTOOL", str(BUILD / "tools" / "uilibtool" / "uilibtool.exe"))
SKIN = os.environ.get("VELKO_INSTALLER_SKIN_XML", str(BUILD / "installer" / "skin" / "installer_skin.xml"))


def run_tool(*args):
    """(exit code, standard output, standard error) of one uilibtool run."""
    # Output goes to files, not pipes: Wine's helper processes outlive the program
    # and would hold a pipe open until the wineserver ends.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        proc = subprocess.run([str(wine_harness.SCRIPTS / "wine-run.sh"), TOOL, *args],
                              stdout=out, stderr=err, stdin=subprocess.DEVNULL, timeout=120,
                              env={**os.environ, "VELKO_BUILD_DIR": str(BUILD)})
        out.seek(0)
        err.seek(0)
        return proc.returncode, out.read().decode("utf-8"), err.read().decode("utf-8", "replace")
