# Reads an iCalendar file with the icalendar package and prints its to-dos and events as JSON,
# for the export tests: an independent reader of what the program wrote.
import json
import sys

import icalendar


def text(component, name):
    value = component.get(name)
    return None if value is None else str(value)


def when(component, name):
    return component.decoded(name).isoformat() if name in component else None


with open(sys.argv[1], 'rb') as f:
    calendar = icalendar.Calendar.from_ical(f.read())
items = []
for c in calendar.walk():
    if c.name not in ('VTODO', 'VEVENT'):
        continue
    categories = c.get('CATEGORIES')
    items.append({
        'kind': c.name,
        'uid': text(c, 'UID'),
        'summary': text(c, 'SUMMARY'),
        'description': text(c, 'DESCRIPTION'),
        'status': text(c, 'STATUS'),
        'categories': None if categories is None else [str(v) for v in categories.cats],
        'start': when(c, 'DTSTART'),
        'due': when(c, 'DUE'),
        'end': when(c, 'DTEND'),
        'startText': text(c, 'X-ZELVO-START-TEXT'),
        'dueText': text(c, 'X-ZELVO-DUE-TEXT'),
        'stamp': when(c, 'DTSTAMP'),
    })
json.dump({'version': text(calendar, 'VERSION'), 'items': items}, sys.stdout)
