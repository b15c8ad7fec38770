"""Independent oracle for Decimal: Python's decimal module.

Reads lines "a op b" and prints each result quantized to 4 places with ROUND_HALF_UP (half away
from zero) in a 28-digit context. Where the exact sum or product has more than 28 digits, a
28-digit context would round twice (to 28 digits, then to 4 places), so such cases are computed
in a wide context instead and marked with a trailing "*".
"""
import sys
from decimal import (Context, Decimal, DivisionByZero, InvalidOperation, Overflow, ROUND_HALF_UP,
                     Rounded)

traps = [InvalidOperation, DivisionByZero, Overflow]
narrow = Context(prec=28, rounding=ROUND_HALF_UP, traps=traps)
wide = Context(prec=100, rounding=ROUND_HALF_UP, traps=traps)
Q = Decimal("0.0001")


def compute(ctx, a, op, b):
    ctx.clear_flags()
    if op == "+":
        r = ctx.add(a, b)
    elif op == "-":
        r = ctx.subtract(a, b)
    elif op == "*":
        r = ctx.multiply(a, b)
    else:
        r = ctx.divide(a, b)
    exact = op == "/" or not ctx.flags[Rounded]
    return r.quantize(Q, context=ctx), exact


out = []
for line in sys.stdin:
    a, op, b = line.split()
    a, b = Decimal(a), Decimal(b)
    mark = ""
    try:
        r, exact = compute(narrow, a, op, b)
        if not exact:
            raise InvalidOperation
    except InvalidOperation:
        r, _ = compute(wide, a, op, b)
        mark = "*"
    if r == 0:
        r = Decimal("0.0000")
    out.append(format(r, "f") + mark)
sys.stdout.write("\n".join(out) + "\n")
