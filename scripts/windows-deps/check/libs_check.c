/* Static OpenSSL and the libxlsxwriter DLL under Windows: TLS initialises, a client context is made,
 * the system random source answers, a known digest comes out, and a workbook is written to disk. */
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <xlsxwriter.h>

#include <stdio.h>
#include <string.h>

static int check_openssl(void)
{
    static const char expected[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    unsigned char digest[EVP_MAX_MD_SIZE], random[32];
    unsigned int length = 0;
    char hex[2 * EVP_MAX_MD_SIZE + 1];
    SSL_CTX *context;

    if (OPENSSL_init_ssl(0, NULL) != 1)
        return puts("OPENSSL_init_ssl failed"), 1;
    context = SSL_CTX_new(TLS_client_method());
    if (!context)
        return puts("SSL_CTX_new failed"), 1;
    SSL_CTX_free(context);
    if (RAND_bytes(random, sizeof random) != 1)
        return puts("RAND_bytes failed"), 1;
    if (EVP_Digest("abc", 3, digest, &length, EVP_sha256(), NULL) != 1)
        return puts("EVP_Digest failed"), 1;
    for (unsigned int i = 0; i < length; ++i)
        sprintf(hex + 2 * i, "%02x", digest[i]);
    if (strcmp(hex, expected) != 0)
        return printf("SHA-256 of abc is %s\n", hex), 1;
    printf("%s: TLS context, random bytes and SHA-256 work\n", OpenSSL_version(OPENSSL_VERSION));
    /* Where OpenSSL would read an openssl.cnf from: check.sh wants a folder only administrators own. */
    printf("%s\n", OpenSSL_version(OPENSSL_DIR));
    return 0;
}

static int check_xlsxwriter(const char *path)
{
    lxw_workbook *workbook = workbook_new(path);
    lxw_worksheet *sheet;
    FILE *file;
    char magic[2] = {0};

    if (!workbook)
        return puts("workbook_new failed"), 1;
    sheet = workbook_add_worksheet(workbook, NULL);
    worksheet_write_number(sheet, 0, 0, 3.5, NULL);
    worksheet_write_string(sheet, 0, 1, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", NULL);
    lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR)
        return printf("workbook_close: %s\n", lxw_strerror(error)), 1;
    file = fopen(path, "rb");
    if (!file || fread(magic, 1, 2, file) != 2 || memcmp(magic, "PK", 2) != 0)
        return puts("the workbook is not a zip file"), 1;
    fclose(file);
    printf("libxlsxwriter %s: workbook written\n", lxw_version());
    return 0;
}

int main(int argc, char **argv)
{
    if (argc != 2)
        return puts("usage: libs_check <workbook path>"), 2;
    return check_openssl() || check_xlsxwriter(argv[1]);
}
