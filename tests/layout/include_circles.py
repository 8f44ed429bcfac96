#!/usr/bin/env python3
"""Fails when the program's units include each other in a circle.

A unit is a header and its source file (src/junk/JunkWalk.h with JunkWalk.cpp); a unit depends on
every unit whose header one of its files includes. A circle between units, or between the subsystem
folders below src/, is reported with its members.
Usage: include_circles.py SRC_FOLDER
"""
import os
import re
import sys
from collections import defaultdict

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def unit_edges(src):
    edges = defaultdict(set)
    for folder, _, files in os.walk(src):
        for name in files:
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(folder, name)
            unit = os.path.splitext(os.path.relpath(path, src))[0].replace(os.sep, '/')
            edges[unit]
            with open(path, encoding='utf-8', errors='replace') as text:
                for line in text:
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    if not os.path.exists(os.path.join(src, target)):
                        local = os.path.join(folder, target)
                        if not os.path.exists(local):
                            continue  # a generated or system header
                        target = os.path.relpath(local, src)
                    included = os.path.splitext(target)[0].replace(os.sep, '/')
                    if included != unit:
                        edges[unit].add(included)
    return edges


def circles(edges):
    """Strongly connected components with more than one member (Tarjan, iterative)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for root in list(edges):
        if root in index:
            continue
        work = [(root, iter(sorted(edges[root])))]
        index[root] = low[root] = counter
        counter += 1
        stack.append(root)
        on_stack.add(root)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                members = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    members.append(member)
                    if member == node:
                        break
                if len(members) > 1:
                    found.append(sorted(members))
    return found


def main():
    src = sys.argv[1]
    units = unit_edges(src)
    folders = defaultdict(set)
    for unit, targets in units.items():
        for target in targets:
            if unit.split('/')[0] != target.split('/')[0]:
                folders[unit.split('/')[0]].add(target.split('/')[0])
    problems = [('units', c) for c in circles(units)] + [('folders', c) for c in circles(folders)]
    for kind, members in problems:
        print(f'include circle among {kind}: ' + ', '.join(members))
    print(f'{len(units)} units, {len(problems)} circles')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
