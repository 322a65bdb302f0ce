namespace pelsid {}
