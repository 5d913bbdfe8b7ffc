/* Never run: the benchmark copies this program only for its file type and its icon. */
int main(void) {
    return 0;
}
