#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Adds "SPDX-License-Identifier: MIT" at the top of every tracked source file
# that lacks it (after a #! line). Usage: add-spdx.py <checkout>
import subprocess, sys, os
root = sys.argv[1]
os.chdir(root)
files = subprocess.run(['git', 'ls-files', '--', '*.cpp', '*.h', '*.js', '*.sh', '*.py', '*.cmake', '*CMakeLists.txt'],
                       capture_output=True, text=True, check=True).stdout.split()
files += subprocess.run(['git', 'ls-files', '--others', '--exclude-standard', '--', '*.cpp', '*.h', '*.js', '*.sh', '*.py', '*.cmake', '*CMakeLists.txt'],
                        capture_output=True, text=True, check=True).stdout.split()
changed = 0
for f in sorted(set(files)):
    with open(f, encoding='utf-8') as fh:
        text = fh.read()
    if any(l.rstrip().endswith('SPDX-License-Identifier: MIT') for l in text.split('\n')[:5]):
        continue
    slash = f.endswith(('.cpp', '.h', '.js'))
    line = ('// ' if slash else '# ') + 'SPDX-License-Identifier: MIT\n'
    if text.startswith('#!'):
        first, _, rest = text.partition('\n')
        text = first + '\n' + line + rest
    else:
        text = line + text
    with open(f, 'w', encoding='utf-8') as fh:
        fh.write(text)
    changed += 1
print(changed, 'files')
