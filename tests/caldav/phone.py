#!/usr/bin/python3
"""The phone: a second CalDAV client (python3-caldav) on the same calendar.

  phone.py CALENDAR_URL USER PASSWORD add UID SUMMARY [LINE...]
                                                    LINEs go into the event: an RRULE, or a
                                                    DTSTART of its own instead of 24 December
  phone.py CALENDAR_URL USER PASSWORD edit UID SUMMARY
  phone.py CALENDAR_URL USER PASSWORD rename SUMMARY NEW_SUMMARY   the event of that summary
  phone.py CALENDAR_URL USER PASSWORD delete UID
  phone.py CALENDAR_URL USER PASSWORD list          one line per event: UID, tab, SUMMARY (its lines
                                                    joined by " / ")
"""
import sys

import caldav


def event(uid, summary, lines=()):
    summary = summary.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;")
    start = [l for l in lines if l.startswith("DTSTART")] or ["DTSTART;VALUE=DATE:20261224"]
    rest = "".join(l + "\r\n" for l in lines if not l.startswith("DTSTART"))
    return ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Remindo tests//phone//EN\r\n"
            "BEGIN:VEVENT\r\n"
            f"UID:{uid}\r\nDTSTAMP:20261201T120000Z\r\n{start[0]}\r\n{rest}"
            f"SUMMARY:{summary}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")


def main():
    url, user, password, cmd = sys.argv[1:5]
    client = caldav.DAVClient(url, username=user, password=password)
    calendar = client.calendar(url=url)
    if cmd == "add":
        calendar.save_event(event(sys.argv[5], sys.argv[6], sys.argv[7:]))
    elif cmd == "edit":
        found = calendar.event_by_uid(sys.argv[5])
        found.data = event(sys.argv[5], sys.argv[6])
        found.save()
    elif cmd == "rename":
        for e in calendar.events():
            component = e.icalendar_instance.walk("VEVENT")[0]
            if str(component["SUMMARY"]) == sys.argv[5]:
                e.data = event(str(component["UID"]), sys.argv[6])
                e.save()
    elif cmd == "delete":
        calendar.event_by_uid(sys.argv[5]).delete()
    elif cmd == "list":
        for e in calendar.events():
            component = e.icalendar_instance.walk("VEVENT")[0]
            summary = str(component['SUMMARY']).replace("\n", " / ")
            print(f"{component['UID']}\t{summary}")
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
