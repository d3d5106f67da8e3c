"""Task mode against the test update service: the request, the decisions on
the answer, and the retries."""

from __future__ import annotations

import re
import threading
import time

import pytest

from update_service import Reply
from updater_machine import CHECK_PATH
from wine_harness import exit_code

EXIT_SERVICE_UNAVAILABLE = 1
EXIT_ANOTHER_UPDATER_RUNNING = 2
NO_UPDATE = Reply(body={"ok": True})
OS_PATTERN = r"\d+%2E\d+%2E\d+%2E2"


@pytest.fixture
def installed(updater_machine):
    updater_machine.install_browser()
    return updater_machine


@pytest.fixture
def fast_retries(retry_wait_ms):
    if retry_wait_ms > 5000:
        pytest.skip(f"the build waits {retry_wait_ms} ms between attempts "
                    "(configure it with -DVELKO_UPDATE_RETRY_WAIT_MS=200)")


def request_line_pattern(bv: str) -> str:
    return rf"GET {CHECK_PATH}\?bv={bv}&os={OS_PATTERN} HTTP/1\.1"


def test_no_update_ends_after_one_exact_request(installed, update_service):
    update_service.set_route(CHECK_PATH, [NO_UPDATE])
    result = installed.run_updater("-Task")
    assert result.returncode == 0, result.stderr
    lines = update_service.request_lines()
    assert len(lines) == 1
    assert re.fullmatch(request_line_pattern(r"51%2E0%2E2704%2E103"), lines[0]), lines[0]


def test_browser_without_version_resource_sends_empty_bv(updater_machine, update_service):
    updater_machine.install_browser(versioned=False)
    update_service.set_route(CHECK_PATH, [NO_UPDATE])
    assert updater_machine.run_updater("-Task").returncode == 0
    (line,) = update_service.request_lines()
    assert re.fullmatch(request_line_pattern(""), line), line


def test_json_with_charset_is_accepted(installed, update_service):
    update_service.set_route(CHECK_PATH, [Reply(content_type="application/json; charset=utf-8",
                                                body={"ok": True, "update": None})])
    assert installed.run_updater("-Task").returncode == 0
    assert len(update_service.request_lines()) == 1


def test_task_switch_after_extra_runs_task_mode(installed, update_service):
    update_service.set_route(CHECK_PATH, [NO_UPDATE])
    assert installed.run_updater("-Extra", "a.rar", "-Task").returncode == 0
    assert len(update_service.request_lines()) == 1


@pytest.mark.parametrize("failed", [
    Reply(body={"ok": False}),
    Reply(status=404, content_type="text/plain", body="not found"),
    Reply(content_type="text/html", body={"ok": True}),
    Reply(body='{"ok": tru'),                              # not JSON
    Reply(body={"ok": "yes"}),                             # wrong type
    Reply(body={"ok": True, "update": "http://x/p.rar"}),  # wrong type
    Reply(body={"ok": True, "update": {"url": "file:///C:/windows/notepad.exe"}}),
    Reply(status=302, content_type=None, headers={"Location": "/elsewhere"}),
], ids=["ok-false", "404", "text-html", "malformed-json", "ok-not-bool", "update-not-object",
        "url-not-web", "redirect"])
def test_failed_attempt_is_retried(installed, update_service, fast_retries, failed):
    update_service.set_route(CHECK_PATH, [failed, NO_UPDATE])
    result = installed.run_updater("-Task")
    assert result.returncode == 0, result.stderr
    lines = update_service.request_lines()
    assert len(lines) == 2 and all(CHECK_PATH in line for line in lines), lines


def test_ten_failed_attempts_end_the_run(installed, update_service, fast_retries):
    update_service.set_route(CHECK_PATH, [Reply(body={"ok": False})])
    result = installed.run_updater("-Task")
    assert result.returncode == EXIT_SERVICE_UNAVAILABLE
    assert len(update_service.request_lines()) == 10
    assert installed.task() is None  # task mode never touches the task unless the browser is gone


def test_found_update_ends_the_run_cleanly(installed, update_service):
    update_service.set_route(CHECK_PATH, [Reply(body={"ok": True,
                                                      "update": {"url": "http://127.0.0.1/p.rar"}})])
    result = installed.run_updater("-Task")
    assert result.returncode == 0
    # One check; then the engine bootstrap asks for its configuration, which
    # this service does not have: three attempts, no engine, the run ends.
    lines = update_service.request_lines()
    assert len([line for line in lines if CHECK_PATH in line]) == 1
    assert [line for line in lines if CHECK_PATH not in line] == ["GET /xl/cfg.xml HTTP/1.1"] * 3


def test_unreachable_service_is_retried(installed, update_service, fast_retries):
    # No route: every request gets the service's own 404.
    assert installed.run_updater("-Task").returncode == EXIT_SERVICE_UNAVAILABLE
    assert len(update_service.request_lines()) == 10


def test_without_registry_value_the_program_files_folder_is_used(updater_machine, update_service):
    updater_machine.install_browser(registry_value=None)
    update_service.set_route(CHECK_PATH, [NO_UPDATE])
    assert updater_machine.run_updater("-Task").returncode == 0
    assert len(update_service.request_lines()) == 1


def test_slow_answer_is_waited_for(installed, update_service):
    update_service.set_route(CHECK_PATH, [Reply(body={"ok": True}, delay_s=2.0)])
    assert installed.run_updater("-Task").returncode == 0
    assert len(update_service.request_lines()) == 1


# Hostile and broken servers --------------------------------------------------

@pytest.fixture
def total_timeout_s(windows_build) -> int:
    from wine_harness import cmake_cache_value
    seconds = int(cmake_cache_value(windows_build, "VELKO_HTTP_TOTAL_TIMEOUT_S") or 600)
    if seconds > 60:
        pytest.skip(f"the build's request deadline is {seconds} s "
                    "(configure it with -DVELKO_HTTP_TOTAL_TIMEOUT_S=20)")
    return seconds


def test_drip_feeding_service_is_abandoned_at_the_deadline(installed, update_service,
                                                          fast_retries, total_timeout_s):
    # One byte a second stays above the stall limit; only the overall
    # deadline ends the request, and the next attempt gets the answer.
    drip = Reply(body='{"ok": true}' + " " * 3600, drip_interval_s=1.0)
    update_service.set_route(CHECK_PATH, [drip, NO_UPDATE])
    started = time.monotonic()
    result = installed.run_updater("-Task", timeout=total_timeout_s + 90)
    assert result.returncode == 0, result.stderr
    assert time.monotonic() - started < total_timeout_s + 60
    assert len(update_service.request_lines()) == 2


def test_announced_two_gigabytes_are_refused_from_the_headers(installed, update_service,
                                                             fast_retries):
    # The body would take 2**31 seconds at this rate: only a refusal on the
    # Content-Length lets the run go on to the next attempt at once.
    huge = Reply(body='{"ok": true}' + " " * 600, declared_length=2 * 1024 ** 3,
                 drip_interval_s=1.0)
    update_service.set_route(CHECK_PATH, [huge, NO_UPDATE])
    started = time.monotonic()
    result = installed.run_updater("-Task", timeout=60)
    assert result.returncode == 0, result.stderr
    assert time.monotonic() - started < 30
    assert len(update_service.request_lines()) == 2


def test_hundred_megabyte_answer_is_a_failed_attempt(installed, update_service, fast_retries):
    padded = b'{"ok": true, "pad": "' + b"x" * (100 * 1024 * 1024) + b'"}'
    update_service.set_route(CHECK_PATH, [Reply(body=padded), NO_UPDATE])
    result = installed.run_updater("-Task", timeout=60)
    assert result.returncode == 0, result.stderr
    assert len(update_service.request_lines()) == 2  # the big one was not taken as an answer


def test_two_concurrent_task_runs_do_not_both_run(installed, update_service):
    update_service.set_route(CHECK_PATH, [Reply(body={"ok": True}, delay_s=4.0)])
    program = installed.place_updater()
    results = []

    def run() -> None:
        results.append(installed.run_updater("-Task", windows_path=program).returncode)

    threads = [threading.Thread(target=run) for _ in range(2)]
    for thread in threads:
        thread.start()
        time.sleep(0.5)
    for thread in threads:
        thread.join(timeout=120)
    assert sorted(results) == [0, EXIT_ANOTHER_UPDATER_RUNNING]
    assert len(update_service.request_lines()) == 1
