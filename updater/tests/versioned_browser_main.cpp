// Does nothing: the updater only reads this program's version resource.
int main() { return 0; }
