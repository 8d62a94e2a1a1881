#!/usr/bin/python3
"""The phone: a second CalDAV client (python3-caldav) on the same calendar.

  phone.py CALENDAR_URL USER PASSWORD add UID SUMMARY
  phone.py CALENDAR_URL USER PASSWORD edit UID SUMMARY
  phone.py CALENDAR_URL USER PASSWORD delete UID
  phone.py CALENDAR_URL USER PASSWORD list          one line per event: UID, tab, SUMMARY
"""
import sys

import caldav


def event(uid, summary):
    summary = summary.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;")
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Remindo tests//phone//EN\r\n"
            "BEGIN:VEVENT\r\n"
            f"UID:{uid}\r\nDTSTAMP:20261201T120000Z\r\nDTSTART;VALUE=DATE:20261224\r\n"
            f"SUMMARY:{summary}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


def main():
    url, user, password, cmd = sys.argv[1:5]
    client = caldav.DAVClient(url, username=user, password=password)
    calendar = client.calendar(url=url)
    if cmd == "add":
        calendar.save_event(event(sys.argv[5], sys.argv[6]))
    elif cmd == "edit":
        found = calendar.event_by_uid(sys.argv[5])
        found.data = event(sys.argv[5], sys.argv[6])
        found.save()
    elif cmd == "delete":
        calendar.event_by_uid(sys.argv[5]).delete()
    elif cmd == "list":
        for e in calendar.events():
            component = e.icalendar_instance.walk("VEVENT")[0]
            print(f"{component['UID']}\t{component['SUMMARY']}")
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
