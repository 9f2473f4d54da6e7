#!/usr/bin/python3
"""Qt API age check: reports every use of Qt API newer than the device's Qt.

    qt-api-age.py BUILD_DIR [FILE...]

BUILD_DIR is a configured build with compile_commands.json. Without FILE, the
check covers the sources of every target the build marks as device code
(device-sources.txt); with FILE, those translation units only. Each use of a
Qt class, function, constructor, enumerator, typedef or macro introduced after
Qt 5.3 is printed as "file:line: Class::member (Qt 5.N)", and the exit status
is 1.

The ages come from Qt's own reference documentation (Debian's
qtbase5-doc-html): "This class/function/property/typedef was introduced in
Qt 5.N", and for enumerators the note in their table row. The uses come from
clang, which resolves overloads and templates exactly as the compiler does;
only uses written in the checked files (and the headers among the device
sources) count, so moc's output and Qt's own headers are left out. Code in a
preprocessor branch the build does not compile (a QT_VERSION_CHECK guard for
older Qt) is not seen.
"""

import collections
import concurrent.futures
import glob
import html
import json
import os
import re
import shlex
import sys

import clang.cindex as ci

DEVICE_QT = (5, 3)
DOC_ROOT = '/usr/share/qt5/doc'

# A documented overload: its parameter types (normalised), whether a
# variable argument list follows them, and its age.
Overload = collections.namedtuple('Overload', 'params variadic since')
# A use in our code: where, what kind, the scope and name of the Qt
# declaration, its parameter types, and the Qt header that declares it.
Use = collections.namedtuple('Use', 'path line kind scope name params header')

SECTION = re.compile(r'<h3 class="fn" id="([^"]+)">(.*?)</h3>(.*?)<!-- @@@', re.S)
SINCE = re.compile(r'(?:introduced|added)(?: or modified)? in Qt (\d+)\.(\d+)')
TITLE = re.compile(r'<h1 class="title">(.*?) (?:Class|Struct|Namespace)</h1>')
CLASS_TEMPLATE = re.compile(r'<span class="small-subtitle">template &lt;(.*?)&gt;')
HEADER = re.compile(r'#include &lt;(\w+)&gt;</span>')
ENUMERATOR = re.compile(r'<tr><td class="topAlign"><code>([\w:]+)</code></td>'
                        r'<td class="topAlign tblval">.*?</td><td class="topAlign">(.*?)</td></tr>', re.S)
ACCESSOR = re.compile(r'<span class="name"><b>(\w+)</b></span>\((.*?)\)')
TAGS = re.compile(r'<[^>]+>')


def text_of(markup):
    return html.unescape(TAGS.sub('', markup)).replace('\u200b', '')


def since_of(markup):
    found = SINCE.search(text_of(markup))
    return (int(found.group(1)), int(found.group(2))) if found else None


def normalise(type_name):
    """A type as a comparable string: no blanks, qualifiers or tag keywords,
    const after what it qualifies ("const T &" as "Tconst&")."""
    type_name = re.sub(r'\b(?:class|struct|enum|typename)\s+', '', type_name.strip())
    type_name = re.sub(r'\b[A-Za-z_]\w*::', '', type_name)
    if re.match(r'const\s', type_name):
        type_name = type_name[5:]
        depth, cut = 0, len(type_name)
        for index, char in enumerate(type_name):
            depth += {'<': 1, '(': 1, '>': -1, ')': -1}.get(char, 0)
            if depth == 0 and char in '*&':
                cut = index
                break
        type_name = type_name[:cut] + ' const ' + type_name[cut:]
    return re.sub(r'\s+', '', type_name)


def split_parameters(text):
    """Top-level comma separated parts of a parameter list."""
    parts, depth, current = [], 0, ''
    for char in text:
        if char in '<([':
            depth += 1
        elif char in '>)]':
            depth -= 1
        if char == ',' and depth == 0:
            parts.append(current)
            current = ''
        else:
            current += char
    if current.strip():
        parts.append(current)
    return parts


def template_names(declaration):
    return re.findall(r'(?:typename|class)\s*\.*\s*(\w+)', declaration)


def doc_parameters(markup, template_params):
    """Parameter types of a documented signature, as patterns: a template
    parameter stands for any type. Names are in italics; an unnamed
    parameter's type may be too. A variable argument list ("...") ends the
    patterns; the second result says whether there is one."""
    markup = re.sub(r'<i>(.*?)</i>', '\x03\\1\x04', markup)
    patterns = []
    for part in split_parameters(text_of(markup)):
        part = part.split('=')[0]
        named = re.sub('\x03.*?\x04', '', part)
        part = normalise((named if named.strip() else part).replace('\x03', '').replace('\x04', ''))
        if part == '...':
            return patterns, True
        if not part or part == 'void':
            continue
        pattern = re.escape(part)
        for name in template_params:
            pattern = re.sub(r'\b%s\b' % name, '(.+)', pattern)
        patterns.append(pattern)
    return patterns, False


def split_heading(heading):
    """The scope, name, what follows the name and what precedes the scope in
    a documented signature, or None."""
    marked = re.sub(r'<span class="name">(.*?)</span>', '\x01\\1\x02', heading, count=1)
    found = re.search(r'(?:([A-Za-z_][\w:]*)::)?\x01(.*?)\x02', marked)
    if not found:
        return None
    return found.group(1) or '', html.unescape(found.group(2)), marked[found.end():], marked[:found.start()]


class QtDocs:
    """Ages of Qt's classes, functions, typedefs, enumerators and macros."""

    def __init__(self, root):
        self.classes = {}
        self.typedefs = {}
        self.enumerators = {}
        self.functions = collections.defaultdict(list)
        self.header_classes = collections.defaultdict(set)
        for page in glob.glob(os.path.join(root, '*', '*.html')):
            with open(page, encoding='utf-8') as handle:
                self.read_page(handle.read())

    def read_page(self, page):
        title = TITLE.search(page)
        owner = text_of(title.group(1)) if title else ''
        class_params = []
        if title:
            self.classes[owner] = since_of(page.split('<div class="descr">')[0])
            header = HEADER.search(page)
            if header:
                self.header_classes[header.group(1).lower() + '.h'].add(owner)
            declared = CLASS_TEMPLATE.search(page)
            if declared:
                class_params = template_names(html.unescape(declared.group(1)))
        for anchor, heading, body in SECTION.findall(page):
            since = since_of(body)
            if anchor.endswith('-enum'):
                for name, description in ENUMERATOR.findall(body):
                    self.enumerators[name] = since_of(description)
            elif anchor.endswith(('-typedef', '-alias')):
                scope, name = (split_heading(heading) or ('', ''))[:2]
                scope = scope or owner
                self.typedefs[scope + '::' + name if scope else name] = since
            elif anchor.endswith('-prop'):
                for name, parameters in ACCESSOR.findall(body):
                    self.functions[(owner, name)].append(Overload(*doc_parameters(parameters, []), since=since))
            else:
                self.read_function(heading, since, class_params)

    def read_function(self, heading, since, class_params):
        signature = split_heading(heading)
        if not signature:
            return
        scope, name, rest, prefix = signature
        parameters = rest[rest.find('(') + 1:rest.rfind(')')] if '(' in rest else ''
        prefix = html.unescape(prefix)
        own_params = template_names(prefix[prefix.find('template'):]) if 'template' in prefix else []
        wildcards = own_params + (class_params if scope else [])
        self.functions[(scope, name)].append(Overload(*doc_parameters(parameters, wildcards), since=since))

    def overloads(self, use):
        scopes = [use.scope] + sorted(self.header_classes.get(use.header, ()))
        for scope in scopes:
            if (scope, use.name) in self.functions:
                return scope, self.functions[(scope, use.name)]
        return use.scope, []

    def age(self, use):
        """The Qt version that introduced what a use names, and its name."""
        if use.kind == 'class':
            return self.classes.get(use.scope) or self.typedefs.get(use.scope), use.scope
        if use.kind == 'enumerator':
            name = '%s::%s' % (use.scope, use.name) if use.scope else use.name
            return self.enumerators.get(name), name
        if use.kind == 'macro':
            found = self.functions.get(('', use.name), [])
            return max((o.since for o in found if o.since), default=None), use.name
        scope, found = self.overloads(use)
        match = best_match(found, use.params)
        since = match.since if match else None
        outer = self.classes.get(scope)
        name = '%s::%s' % (scope, use.name) if scope else use.name
        return max(filter(None, [since, outer]), default=None), name


def best_match(overloads, params):
    """The documented overload whose parameters all fit the resolved
    declaration's, the most literal fit first; None when none fits, as for
    implicitly declared members. A template parameter in the documentation
    fits any type, and so does a parameter that the template clang chose
    deduces."""

    def score(overload):
        points = 0
        for pattern, (written, canonical, deduced) in zip(overload.params, params):
            if re.fullmatch(pattern, written) or re.fullmatch(pattern, canonical):
                points += 1 + len(re.sub(r'\(\.\+\)', '', pattern))
            elif not deduced:
                return None
        return points

    fitting = [(score(o), o) for o in overloads if len(o.params) == len(params)]
    fitting = [(points, o) for points, o in fitting if points is not None]
    return max(fitting, key=lambda fit: fit[0])[1] if fitting else None


def qt_header(cursor):
    """The Qt header declaring cursor, or None when Qt does not declare it."""
    location = cursor.location.file
    if location is None:
        return None
    folder, header = os.path.split(location.name)
    return header if re.fullmatch(r'Qt[A-Za-z]+', os.path.basename(folder)) else None


FUNCTIONS = {ci.CursorKind.FUNCTION_DECL, ci.CursorKind.CXX_METHOD, ci.CursorKind.CONSTRUCTOR,
             ci.CursorKind.CONVERSION_FUNCTION, ci.CursorKind.FUNCTION_TEMPLATE}
TYPES = {ci.CursorKind.CLASS_DECL, ci.CursorKind.STRUCT_DECL, ci.CursorKind.CLASS_TEMPLATE,
         ci.CursorKind.TYPEDEF_DECL, ci.CursorKind.TYPE_ALIAS_DECL, ci.CursorKind.UNION_DECL,
         ci.CursorKind.NAMESPACE}
REFERENCES = {ci.CursorKind.DECL_REF_EXPR, ci.CursorKind.MEMBER_REF_EXPR, ci.CursorKind.TYPE_REF,
              ci.CursorKind.TEMPLATE_REF, ci.CursorKind.NAMESPACE_REF, ci.CursorKind.CALL_EXPR,
              ci.CursorKind.MACRO_INSTANTIATION}


def scope_of(cursor):
    names = []
    parent = cursor.semantic_parent
    while parent is not None and parent.kind != ci.CursorKind.TRANSLATION_UNIT:
        if not (parent.kind == ci.CursorKind.ENUM_DECL and not parent.is_scoped_enum()):
            names.append(parent.spelling)
        parent = parent.semantic_parent
    return '::'.join(reversed(names))


def use_of(cursor, target, header):
    """What a reference in our code names, or None for what no age covers."""
    where = (cursor.location.file.name, cursor.location.line)
    if cursor.kind == ci.CursorKind.MACRO_INSTANTIATION:
        return Use(*where, 'macro', '', cursor.spelling, (), header)
    if target.kind == ci.CursorKind.ENUM_CONSTANT_DECL:
        return Use(*where, 'enumerator', scope_of(target), target.spelling, (), header)
    if target.kind in TYPES:
        scope = scope_of(target)
        return Use(*where, 'class', (scope + '::' if scope else '') + target.spelling, '', (), header)
    # A call names its function through a reference expression, which is
    # reported instead; only a constructor is called without one.
    if target.kind in FUNCTIONS and (cursor.kind != ci.CursorKind.CALL_EXPR
                                     or target.kind == ci.CursorKind.CONSTRUCTOR):
        return Use(*where, 'function', scope_of(target), target.spelling, parameters(target), header)
    return None


def parameters(function):
    """Each parameter's type as written and canonical, and whether the
    template the function specialises deduces it."""
    pattern = ci.conf.lib.clang_getSpecializedCursorTemplate(function)
    declared = [c for c in pattern.get_children() if c.kind == ci.CursorKind.PARM_DECL] if pattern else []
    result = []
    for index, argument in enumerate(function.get_arguments()):
        if argument.type.spelling.endswith('QPrivateSignal'):
            continue  # the documentation leaves out what makes a signal private
        deduced = index < len(declared) and 'type-parameter-' in declared[index].type.get_canonical().spelling
        result.append((normalise(argument.type.spelling), normalise(argument.type.get_canonical().spelling), deduced))
    return tuple(result)


def parse_arguments(entry):
    """The compile command's arguments that matter to parsing, warnings off."""
    arguments = shlex.split(entry['command'])[1:]
    kept = []
    while arguments:
        argument = arguments.pop(0)
        if argument == '-o':
            arguments.pop(0)
        elif argument not in ('-c', entry['file']) and not argument.startswith('-W'):
            kept.append(argument)
    return kept + ['-w']


def uses_in(entry, own_files):
    """Parses one translation unit; returns its uses of Qt and its errors."""
    unit = ci.Index.create().parse(
        entry['file'], args=parse_arguments(entry),
        options=ci.TranslationUnit.PARSE_DETAILED_PROCESSING_RECORD)
    errors = ['%s' % d for d in unit.diagnostics if d.severity >= ci.Diagnostic.Error]
    uses = []
    pending = [c for c in unit.cursor.get_children() if c.location.file and c.location.file.name in own_files]
    while pending:
        cursor = pending.pop()
        pending.extend(cursor.get_children())
        location = cursor.location.file
        if cursor.kind not in REFERENCES or location is None or location.name not in own_files:
            continue
        target = cursor.referenced
        header = target and qt_header(target)
        if header:
            use = use_of(cursor, target, header)
            if use:
                uses.append(use)
    return uses, errors


def device_sources(build):
    """The sources of every device-code target, as the build lists them: its
    folder first, then its sources (absolute or relative to that folder)."""
    sources = set()
    with open(os.path.join(build, 'device-sources.txt')) as listing:
        for line in listing:
            folder, *files = line.strip().split(';')
            sources.update(os.path.normpath(os.path.join(folder, f)) for f in files if f)
    return sources


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    build = os.path.abspath(argv[1])
    with open(os.path.join(build, 'compile_commands.json')) as commands:
        entries = {os.path.normpath(e['file']): e for e in json.load(commands)}
    if len(argv) > 2:
        own_files = {os.path.abspath(f) for f in argv[2:]}
    else:
        own_files = {f for f in device_sources(build) if not f.startswith(build + os.sep)}
    units = [entries[f] for f in sorted(own_files) if f in entries]
    if not units:
        sys.exit('no sources to check in %s' % build)
    if len(argv) > 2 and len(units) != len(own_files):
        sys.exit('not in %s/compile_commands.json: %s'
                 % (build, ' '.join(sorted(own_files - set(entries)))))
    with concurrent.futures.ProcessPoolExecutor(os.cpu_count()) as pool:
        parsed = pool.map(uses_in, units, [own_files] * len(units))
        docs = QtDocs(DOC_ROOT)
        results = list(parsed)
    errors = [error for _, unit_errors in results for error in unit_errors]
    if errors:
        sys.exit('clang could not parse the sources:\n' + '\n'.join(errors))
    if not docs.classes:
        sys.exit('no Qt reference documentation in %s (Debian package qtbase5-doc-html)' % DOC_ROOT)
    findings = set()
    for uses, _ in results:
        for use in uses:
            since, name = docs.age(use)
            if since and since > DEVICE_QT:
                findings.add((os.path.relpath(use.path), use.line, name, since))
    for path, line, name, since in sorted(findings):
        print('%s:%d: %s (Qt %d.%d)' % (path, line, name, *since))
    return 1 if findings else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
