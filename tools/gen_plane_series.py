#!/usr/bin/env python3
"""Writes converter/geo/plane_series_x87.inc: the forward plane-coordinate series as x87 code.

The series must give the same bits as the C++ code in plane_coordinates.cpp, so every
operation below is the C++ one with the same operands; only the schedule differs. Powers
are recomputed from their base instead of kept, and subtrees are evaluated in
Sethi-Ullman order, so that the whole series stays in the eight stack registers: the
compiler's version spills extended values to memory, and 80-bit loads and stores are what
the series spent most of its time on.

Run from the repository root after changing the series; the unit tests compare the two
versions on a million points, and `--check` (run by the test suite) that the file in the
tree is this program's output.
"""
import sys

# Constants the series multiplies or divides by (all exact in single precision).
CONSTANTS = []


def k(v):
    if v not in CONSTANTS:
        CONSTANTS.append(v)
    return ('k', v)


def b(name):  # a value held in a stack register
    return ('b', name)


def m(operand, size='l'):  # a memory operand: l double, t extended, il 32-bit integer
    return ('m', operand, size)


def op(o, x, y):
    return (o, x, y)


def mul(x, y): return op('*', x, y)
def add(x, y): return op('+', x, y)
def sub(x, y): return op('-', x, y)
def div(x, y): return op('/', x, y)
def sq(x): return ('sq', x)
def sqrt(x): return ('sqrt', x)


MNEMONIC = {'*': 'fmul', '+': 'fadd', '-': 'fsub', '/': 'fdiv'}
COMMUTATIVE = {'*', '+'}


def is_operand(e):  # usable as a memory operand of an arithmetic instruction
    return e[0] == 'k' or (e[0] == 'm' and e[2] in ('l', 'il'))


def operand_text(e):
    if e[0] == 'k':
        return '{}(%[k])'.format(4 * CONSTANTS.index(e[1]))
    return e[1]


def operand_suffix(e):
    return 's' if e[0] == 'k' else e[2]


def memory_form(mn, r, e):
    if e[0] == 'm' and e[2] == 'il':  # 32-bit integer operand
        return 'fi{}{}l {}'.format(mn[1:], r, operand_text(e))
    return '{}{}{} {}'.format(mn, r, operand_suffix(e), operand_text(e))


def need(e):
    """Stack registers the evaluation of e takes, its result's included (as Gen.ev works)."""
    t = e[0]
    if t in ('b', 'm', 'k'):
        return 1
    if t in ('sq', 'sqrt'):
        return need(e[1])
    x, y = e[1], e[2]
    if t == '*' and x == sq(y):
        return need(y) + 1
    if is_operand(y) or y[0] == 'b':
        return need(x)
    if is_operand(x) or x[0] == 'b':
        return need(y)
    nx, ny = need(x), need(y)
    return max(nx, ny + 1) if nx >= ny else max(ny, nx + 1)


class Gen:
    def __init__(self):
        self.stack = []  # names, index 0 = st(0); None for a temporary
        self.lines = []
        self.peak = 0

    def emit(self, text, comment=''):
        self.lines.append(text if not comment else '{:<36}# {}'.format(text, comment))

    def push(self, name=None):
        self.stack.insert(0, name)
        self.peak = max(self.peak, len(self.stack))
        assert len(self.stack) <= 8, 'stack overflow'

    def pop(self):
        self.stack.pop(0)

    def pos(self, name):
        return self.stack.index(name)

    def ev(self, e):
        t = e[0]
        if t == 'b':
            self.emit('fld %st({})'.format(self.pos(e[1])), e[1])
            self.push()
        elif t == 'm':
            self.emit('fld{} {}'.format(e[2], e[1]) if e[2] != 'il' else 'fildl {}'.format(e[1]))
            self.push()
        elif t == 'k':
            self.emit('flds {}'.format(operand_text(e)), str(e[1]))
            self.push()
        elif t == 'sq':
            self.ev(e[1])
            self.emit('fmul %st(0), %st')
        elif t == 'sqrt':
            self.ev(e[1])
            self.emit('fsqrt')
        else:
            self.binary(t, e[1], e[2])

    def binary(self, o, x, y):
        mn = MNEMONIC[o]
        if o == '*' and x == sq(y):
            # y² · y... as y, a copy squared, and the product: one instruction less than
            # evaluating both factors.
            self.ev(y)
            self.emit('fld %st(0)')
            self.push()
            self.emit('fmul %st(0), %st')
            self.emit('fmulp %st, %st(1)')
            self.pop()
        elif is_operand(y):
            self.ev(x)
            self.emit(memory_form(mn, '', y))
        elif is_operand(x):
            self.ev(y)
            self.emit(memory_form(mn, '' if o in COMMUTATIVE else 'r', x))
        elif y[0] == 'b':
            self.ev(x)
            self.emit('{} %st({}), %st'.format(mn, self.pos(y[1])), y[1])
        elif x[0] == 'b':
            self.ev(y)
            r = '' if o in COMMUTATIVE else 'r'
            self.emit('{}{} %st({}), %st'.format(mn, r, self.pos(x[1])), x[1])
        else:
            first_x = need(x) >= need(y)
            self.ev(x if first_x else y)
            self.ev(y if first_x else x)
            # GNU as spells the popping forms with a destination below st(0) the other way
            # round: "fsubrp %st, %st(1)" is st(1) - st(0), "fsubp %st, %st(1)" st(0) - st(1).
            r = 'r' if first_x and o not in COMMUTATIVE else ''
            self.emit('{}{}p %st, %st(1)'.format(mn, r))
            self.pop()

    # statements
    def let(self, name, e):
        self.ev(e)
        self.stack[0] = name

    def update(self, name, o, e):
        """name = name o e"""
        self.ev(e)
        i = self.pos(name)
        if o in COMMUTATIVE:
            self.emit('{}p %st, %st({})'.format(MNEMONIC[o], i), name + ' ' + o + '=')
            self.pop()
        else:
            self.emit('{}rp %st, %st({})'.format(MNEMONIC[o], i), name + ' ' + o + '=')
            self.pop()

    def store(self, e, target):
        """Rounds e to double into memory."""
        self.ev(e)
        self.emit('fstpl {}'.format(target))
        self.pop()

    def drop(self, *names):
        """Frees the registers of `names`: a popping store of the top into one of them frees
        it in one instruction, the top's value moving there."""
        names = set(names)
        while names:
            if self.stack[0] in names:
                names.discard(self.stack[0])
                self.emit('fstp %st(0)', 'drop ' + self.stack[0])
                self.pop()
                continue
            i = min(self.pos(n) for n in names)
            dropped = self.stack[i]
            names.discard(dropped)
            self.emit('fstp %st({})'.format(i), 'drop {}, {} moves there'.format(dropped, self.stack[0]))
            self.stack[i] = self.stack[0]
            self.pop()

    def store_drop(self, name, target):
        """Rounds a named value to double into memory and frees its register."""
        i = self.pos(name)
        if i:
            self.emit('fxch %st({})'.format(i))
            self.stack[0], self.stack[i] = self.stack[i], self.stack[0]
        self.emit('fstpl {}'.format(target), 'store ' + name)
        self.pop()


def program(g):
    pc = lambda f: '%c[{}](%[pc])'.format(f)
    at = lambda f: '%c[{}](%[in])'.format(f)
    # Latitude: S(φ) by the sine recurrence, then tan φ, η², N.
    g.let('c', m(at('cosP'), 't'))
    g.let('s', m(at('sinP'), 't'))
    g.let('twoCos2', mul(k(2), sub(k(1), mul(mul(k(2), b('s')), b('s')))))
    g.let('cur', mul(mul(k(2), b('s')), b('c')))
    g.emit('fldz', 'previous')
    g.push('prev')
    arc = lambda j: '%c[arc]+{}(%[pc])'.format(8 * j)
    g.let('acc', mul(m(at('phi')), m(arc(0))))
    for j in range(1, 9):
        g.update('acc', '+', mul(m(arc(j)), b('cur')))
        if j == 8:
            break
        g.ev(mul(b('twoCos2'), b('cur')))
        # next = 2cos2φ · current - previous, into the previous one's register ("fsubp"
        # with a destination below st(0) is st(0) - st(i) in GNU as); the old current
        # becomes the previous.
        i = g.pos('prev')
        g.emit('fsubp %st, %st({})'.format(i), 'next')
        g.pop()
        ic, ip = g.pos('cur'), g.pos('prev')
        g.stack[ic], g.stack[ip] = 'prev', 'cur'
    g.store_drop('acc', at('scratch'))
    g.drop('prev', 'cur', 'twoCos2')
    g.let('t', div(b('s'), b('c')))
    g.drop('s')
    g.let('e', mul(mul(m(pc('ep')), m(pc('ep'))), sq(b('c'))))
    g.let('N', div(m(pc('polar')), sqrt(add(k(1), b('e')))))
    g.let('x', sub(m(at('scratch')), m(pc('arc0'))))

    c, t, e, N, dl = b('c'), b('t'), b('e'), b('N'), m(at('dl'))
    cp2, cp4 = sq(c), sq(sq(c))
    t2, t4 = sq(t), sq(sq(t))
    dl2, dl4 = sq(dl), sq(sq(dl))
    # Northing: x = dS + T1 + T2 - T3 - T4, each term (N/n · cos^k φ · tan φ) · P · Δλ^k.
    def term(n, cos_power, with_tan, poly, dl_power):
        f = mul(div(N, k(n)), cos_power)
        if with_tan:
            f = mul(f, t)
        if poly is not None:
            f = mul(f, poly)
        return mul(f, dl_power)

    g.update('x', '+', term(2, cp2, True, None, dl2))
    g.update('x', '+', term(24, cp4, True, add(add(sub(k(5), t2), mul(k(9), e)), mul(k(4), sq(e))), dl4))
    g.update('x', '-', term(720, mul(cp4, cp2), True,
                            add(sub(sub(sub(mul(k(58), t2), k(61)), t4), mul(k(270), e)), mul(mul(k(330), t2), e)),
                            mul(dl4, dl2)))
    g.update('x', '-', term(40320, sq(cp4), True,
                            add(sub(sub(mul(k(3111), t2), k(1385)), mul(k(543), t4)), mul(t4, t2)), sq(dl4)))
    scale = mul(m(pc('scale')), m(pc('units'), 'il'))
    g.store(add(mul(b('x'), scale), m(pc('north'))), pc('planeX'))
    g.drop('x')
    # Easting: y = N cos φ Δλ - U3 - U5 - U7.
    g.let('y', mul(mul(N, c), dl))
    g.update('y', '-', term(6, mul(cp2, c), False, sub(sub(t2, k(1)), e), mul(dl2, dl)))
    g.update('y', '-', term(120, mul(cp4, c), False,
                            add(sub(sub(sub(mul(k(18), t2), k(5)), t4), mul(k(14), e)), mul(mul(k(58), t2), e)),
                            mul(dl4, dl)))
    g.update('y', '-', term(5040, mul(mul(cp4, cp2), c), False,
                            add(sub(sub(mul(k(479), t2), k(61)), mul(k(179), t4)), mul(t4, t2)),
                            mul(mul(dl4, dl2), dl)))
    g.store(add(mul(b('y'), scale), m(pc('east'))), pc('planeY'))
    g.drop('y', 'N', 'e', 't', 'c')
    assert not g.stack


def main():
    g = Gen()
    program(g)
    out = ['// Written by tools/gen_plane_series.py; do not edit.',
           '// Single-precision constants of the series, in the order the code indexes them.',
           'namespace {',
           'const float kSeriesConstants[] = {' + ', '.join('{}.0f'.format(v) for v in CONSTANTS) + '};',
           '}  // namespace',
           '// x87 code of the series ({} instructions, {} of 8 stack registers at most).'.format(
               len(g.lines), g.peak),
           '#define PLANE_SERIES_X87 \\']
    for line in g.lines:
        # Extended asm: a register's % is written twice.
        out.append('  "{}\\n\\t" \\'.format(line.replace('%st', '%%st')))
    out.append('  ""')
    path = 'converter/geo/plane_series_x87.inc'
    text = '\n'.join(out) + '\n'
    if '--check' in sys.argv:
        # The test suite's check that the code in the tree is what this program writes.
        with open(path) as f:
            if f.read() != text:
                sys.exit('{} differs from what tools/gen_plane_series.py writes'.format(path))
        return
    with open(path, 'w') as f:
        f.write(text)
    print('{}: {} instructions, peak {}'.format(path, len(g.lines), g.peak), file=sys.stderr)


if __name__ == '__main__':
    main()
