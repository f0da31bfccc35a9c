// Deliberately unformatted: the format check must refuse it.
int main()
{
    return 0;
}
