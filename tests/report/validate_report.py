"""Validates Brisfold's JSON reports against docs/report.schema.json with Debian's python3-jsonschema,
and checks that each report's summary agrees with its own scanners and with the console's last line.
Usage: /usr/bin/python3 validate_report.py SCHEMA REPORT[=CONSOLE-OUTPUT] ...
"""
import json
import sys

try:
    import jsonschema
except ImportError:
    sys.exit("validate_report: the Python module jsonschema is missing for " + sys.executable +
             ": install Debian's python3-jsonschema (scripts/setup.sh does) and run this with /usr/bin/python3")


def counts(report):
    """The summary's figures, counted again from the scanners' own lists."""
    ran = [s for s in report["scanners"] if s["ran"]]
    found = sum(len(s["findings"]) for s in ran)
    items = [i for s in ran if s["repair"] for i in s["repair"]["items"]]
    scheduled = sum(1 for i in items if i["outcome"] == "scheduled")
    removed = sum(1 for i in items if i["outcome"] in ("removed", "alreadyGone"))
    kept = sum(1 for i in items if i["outcome"] == "kept")
    return {"scannersRun": len(ran), "found": found, "removed": removed, "scheduledForRestart": scheduled,
            "left": len(items) - scheduled - removed - kept, "kept": kept}


def main():
    schema = json.load(open(sys.argv[1], encoding="utf-8"))
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    failed = False
    for argument in sys.argv[2:]:
        path, _, console = argument.partition("=")
        with open(path, "rb") as f:
            report = json.loads(f.read().decode("utf-8"))
        errors = sorted(validator.iter_errors(report), key=lambda e: list(e.path))
        for error in errors:
            print(f"{path}: {'/'.join(map(str, error.path))}: {error.message}")
        failed |= bool(errors)
        summary = report["summary"]
        for name, value in counts(report).items():
            if summary[name] != value:
                print(f"{path}: summary {name} is {summary[name]}, the scanners' lists give {value}")
                failed = True
        if console:
            lines = [l for l in open(console, encoding="utf-8", errors="replace").read().splitlines() if l.strip()]
            last = lines[-1] if lines else ""
            if last != summary["line"]:
                print(f"{path}: the console's last line is {last!r}, the report's summary {summary['line']!r}")
                failed = True
        if not errors:
            print(f"{path}: valid ({report['command']}, status {report['status']}, {summary['line']})")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
