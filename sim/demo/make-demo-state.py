#!/usr/bin/env python3
"""Writes demo-state.json: the terminal "Demo" that scripts/run.sh starts for newcomers.

A fixed serial number and log generation, five users with Turkish names (templates, a card, a password, an administrator, a disabled
user) and two attendance records per user and working day of November 2026 (300 records,
the last week unread). Run it again after changing it; the output is deterministic.
"""
import datetime
import json
import pathlib


def template(seed):
    # 355 32-bit integers that look like a template: deterministic, signed.
    values = []
    x = seed * 2654435761 & 0xFFFFFFFF
    for _ in range(355):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        values.append(x - (1 << 32) if x & 0x80000000 else x)
    return values


def packed_password(digits):
    value = 0
    for d in reversed(digits):
        value = value * 16 + int(d) + 1
    return value


def finger(enroll, backup, privilege=0, enabled=True):
    return {"enroll": enroll, "emachine": 1, "backup": backup, "privilege": privilege,
            "enabled": enabled, "template": template(enroll * 16 + backup)}


def value_entry(enroll, backup, value):
    return {"enroll": enroll, "emachine": 1, "backup": backup, "privilege": 0,
            "enabled": True, "value": value}


users = [
    finger(1001, 0), finger(1001, 1),
    finger(1002, 0), value_entry(1002, 11, 5551002),
    value_entry(1003, 10, packed_password("1234")),
    finger(1004, 0, privilege=2), finger(1004, 1, privilege=2),
    finger(1005, 0, enabled=False),
]
names = {"1001": "Ayşe Yılmaz", "1002": "Mehmet Öztürk", "1003": "Şükrü Çelik",
         "1004": "Gülşen Doğan", "1005": "İsmail Güneş"}

logs = []
day = datetime.date(2026, 11, 1)
while len(logs) < 300:
    if day.weekday() < 5:
        for n, enroll in enumerate(sorted(int(k) for k in names)):
            # In at 08:xx (verification 0, state _DutyOn), out at 17:xx (8, state _DutyOff).
            for hour, verify in ((8, 0), (17, 8 + 256)):
                logs.append({"enroll": enroll, "verify": verify, "year": day.year,
                             "month": day.month, "day": day.day, "hour": hour,
                             "minute": (day.day * 7 + n * 11 + hour) % 60,
                             "read": day.day < 24})
    day += datetime.timedelta(days=1)

# A fixed identity, so the demo terminal is the same unit in every data folder it is copied to.
# The generation holds only with the numbering it belongs to, so the next sequence is given too.
state = {"serial": "SIM-DEMO-0001", "logGeneration": 20261101, "nextSequence": 301, "machine": 1,
         "password": 0, "users": users, "names": names, "logs": logs[:300]}
path = pathlib.Path(__file__).with_name("demo-state.json")
path.write_text(json.dumps(state, ensure_ascii=False, indent=1) + "\n", encoding="utf-8")
