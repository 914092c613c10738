# Reads a CSV file with Python's csv module (UTF-8 with its byte order mark) and prints the
# rows as JSON, for the export tests: an independent reader of what the program wrote.
import csv
import json
import sys

with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    json.dump(list(csv.reader(f)), sys.stdout)
