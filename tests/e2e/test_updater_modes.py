"""The updater's modes under Wine: register mode and its logon task, the
switch scan, and task mode without an installed browser."""

from __future__ import annotations

import datetime

from updater_machine import SCRATCH
from wine_harness import exit_code

TASK_FLAGS = 0x2400  # run only if logged on | run only if connected to the internet
LOGON_TRIGGER = 7


def test_no_switch_registers_the_logon_task(updater_machine, update_service):
    program = updater_machine.place_updater()
    before = datetime.datetime.now()
    result = updater_machine.run_updater(windows_path=program)
    after = datetime.datetime.now()
    assert result.returncode == 0, result.stderr
    task = updater_machine.task()
    assert task is not None
    assert task.application.lower() == program.lower()
    assert task.parameters == "-Task"
    assert task.flags & TASK_FLAGS == TASK_FLAGS
    assert len(task.triggers) == 1
    trigger = task.triggers[0]
    assert (trigger.size, trigger.trigger_type, trigger.flags) == (48, LOGON_TRIGGER, 0)
    today = (before.year, before.month, before.day)
    assert tuple(trigger.begin) == today and tuple(trigger.end) == today
    one_minute = datetime.timedelta(minutes=1)
    expected_starts = {((t + one_minute).hour, (t + one_minute).minute) for t in (before, after)}
    assert tuple(trigger.start) in expected_starts
    assert update_service.request_lines() == []


def test_registering_twice_keeps_one_task_with_the_newer_path(updater_machine):
    first = updater_machine.place_updater(SCRATCH + r"\first\updater.exe")
    second = updater_machine.place_updater(SCRATCH + r"\second\updater.exe")
    assert updater_machine.run_updater(windows_path=first).returncode == 0
    assert updater_machine.run_updater(windows_path=second).returncode == 0
    tasks = sorted(p.name for p in updater_machine.task_path.parent.glob("*.job"))
    assert tasks == ["Velko_Browser_Updater.job"]
    assert updater_machine.task().application.lower() == second.lower()


def test_lower_case_task_switch_is_register_mode(updater_machine, update_service):
    assert updater_machine.run_updater("-task").returncode == 0
    assert updater_machine.task() is not None
    assert update_service.request_lines() == []


def test_task_mode_without_browser_removes_the_task(updater_machine, update_service):
    assert updater_machine.run_updater().returncode == 0
    assert updater_machine.task() is not None
    result = updater_machine.run_updater("-Task")
    assert result.returncode == exit_code(-1)
    assert updater_machine.task() is None
    assert update_service.request_lines() == []


def test_install_path_without_chrome_does_not_fall_back(updater_machine, update_service):
    # The default folder holds a browser, but the registry names another folder.
    updater_machine.install_browser(registry_value=SCRATCH + r"\elsewhere")
    updater_machine.run_updater()
    assert updater_machine.run_updater("-Task").returncode == exit_code(-1)
    assert updater_machine.task() is None
    assert update_service.request_lines() == []


def test_expandable_install_path_is_not_expanded(updater_machine, update_service):
    updater_machine.install_browser(registry_value=r"%ProgramFiles%\VelkoBrowser",
                                    value_type="REG_EXPAND_SZ")
    assert updater_machine.run_updater("-Task").returncode == exit_code(-1)
    assert update_service.request_lines() == []


def test_extra_as_last_argument_is_extract_mode_that_touches_nothing(updater_machine,
                                                                    update_service):
    folder = updater_machine.install_browser()
    before = updater_machine.folder_snapshot(folder)
    result = updater_machine.run_updater("-Task", "-Extra")
    assert result.returncode == 0
    assert updater_machine.folder_snapshot(folder) == before
    assert updater_machine.task() is None
    assert update_service.request_lines() == []
